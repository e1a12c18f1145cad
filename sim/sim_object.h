// The bases of the COM objects the simulated host hands out: SimObject
// counts the object and the references on it in the host's counters;
// SimDispatchObject gives it the published face, IDispatch over its
// interface's member table (published_dispatch.h), and nothing else unless
// the class adds it (the application's and the documents' connection
// points and interface ids).
#pragma once

#include <memory>

#include "platform/com_object.h"
#include "sim/host_state.h"
#include "sim/published_dispatch.h"
#include "sim/published_interface.h"

namespace sim {

template <typename... Interfaces>
class SimObject : public ComObject<Interfaces...> {
 public:
  explicit SimObject(std::shared_ptr<HostState> host) : host_(std::move(host)) {
    host_->ObjectCreated();
  }

  ULONG STDMETHODCALLTYPE AddRef() override {
    host_->ReferenceAdded();
    return ComObject<Interfaces...>::AddRef();
  }
  ULONG STDMETHODCALLTYPE Release() override {
    // The counter goes first: the object may be gone after the base's
    // Release, but the host state it holds outlives this line.
    std::shared_ptr<HostState> host = host_;
    host->ReferenceReleased();
    return ComObject<Interfaces...>::Release();
  }

 protected:
  ~SimObject() override { host_->ObjectDestroyed(); }

  std::shared_ptr<HostState> host_;
};

// Extra: COM interfaces the object has besides IDispatch.
template <typename... Extra>
class SimDispatchObject : public SimObject<IDispatch, Extra...>, public PublishedObject {
 public:
  using SimObject<IDispatch, Extra...>::SimObject;

  // The host's objects have no type information: callers find members by
  // name.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* dispids) override {
    return PublishedIdsOfNames(*this->host_, Published(), riid, names, count, dispids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argErr) override {
    return InvokePublished(*this->host_, *this, riid, dispid, flags, params, result, exception,
                           argErr);
  }
};

}  // namespace sim
