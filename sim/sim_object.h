// The base of every COM object the simulated host hands out: reference
// counting through ComObject, plus the host's live-object and reference
// counters and the journal entry of each host operation.
#pragma once

#include <concepts>
#include <memory>

#include "platform/com_object.h"
#include "sim/host_state.h"

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

  // Records the call; returns the HRESULT to give back instead of doing the
  // work when a fault is set for it.
  std::optional<HRESULT> Enter(std::string_view operation, std::u16string target,
                               std::initializer_list<platform::FormatArg> arguments = {}) {
    return host_->journal.Enter(operation, std::move(target), arguments);
  }
  // The same with the target's name made by `target()` only when the
  // journal needs it: a host that neither records nor fails calls spends
  // nothing on names, however many calls the add-in makes.
  template <typename MakeTarget>
  requires std::invocable<MakeTarget> std::optional<HRESULT> Enter(
      std::string_view operation, MakeTarget target,
      std::initializer_list<platform::FormatArg> arguments = {}) {
    if (host_->journal.Idle()) return std::nullopt;
    return host_->journal.Enter(operation, target(), arguments);
  }

  std::shared_ptr<HostState> host_;
};

// A host object whose interfaces derive from IDispatch. The host's objects
// are reached early-bound only: they have no type information and no names.
template <typename... Interfaces>
class SimDispatchObject : public SimObject<Interfaces...> {
 public:
  using SimObject<Interfaces...>::SimObject;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                          DISPID* dispids) override {
    for (UINT i = 0; dispids && i < count; ++i) dispids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

}  // namespace sim
