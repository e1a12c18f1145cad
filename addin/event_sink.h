// EventSink<Owner>: one sink of the add-in on a host connection point. It
// answers QueryInterface for the host's event interface (and IDispatch), and
// the host's IDispatch::Invoke calls reach the owner through the sink map: a
// table of DISPIDs and handlers. Events without an entry are answered S_OK.
//
// The owner holds the sink; the sink's pointer back to the owner is plain
// (no reference, so no cycle). An owner that goes while the host may still
// hold the sink orphans it first; an orphaned sink ignores every event.
// While an event runs, the sink and its owner keep themselves alive, so a
// handler may unadvise and release them.
#pragma once

#include <span>
#include <utility>

#include "addin/event_args.h"
#include "addin/harbolt_ids.h"
#include "addin/module_object.h"
#include "common/catch_pattern.h"

template <typename Owner>
class EventSink final : public ModuleObject<IDispatch> {
 public:
  using Handler = HRESULT (*)(Owner& owner, const harbolt::EventArgs& args);
  struct Entry {
    DISPID dispid;
    Handler handle;
  };
  // The cookie of a sink that is not advised.
  static constexpr DWORD kNotAdvised = 0xFEFEFEFE;

  // sinkMap must outlive the sink (a static table).
  EventSink(const IID& eventInterface, Owner* owner, std::span<const Entry> sinkMap)
      : iid_(eventInterface), owner_(owner), map_(sinkMap) {}

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
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    for (const Entry& entry : map_) {
      if (entry.dispid != dispid) continue;
      if (!owner_) return S_OK;
      ComPtr<IDispatch> keepSink(this);
      ComPtr<Owner> keepOwner(owner_);
      return Dovbase::GuardAutomationMethod(
          {u".\\Harbolt", u"EventSink::Invoke", __LINE__}, kHarboltProgId,
          [&] { return entry.handle(*keepOwner.Get(), harbolt::EventArgs(params)); });
    }
    return S_OK;
  }

  // Advises the sink on source's connection point for the event interface
  // and keeps the cookie. The failure of any step is the result.
  HRESULT Advise(IUnknown* source) {
    if (!source) return E_POINTER;
    ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(source, &point);
    DWORD cookie = kNotAdvised;
    if (SUCCEEDED(hr)) hr = point->Advise(static_cast<IDispatch*>(this), &cookie);
    if (SUCCEEDED(hr)) cookie_ = cookie;
    return hr;
  }
  // Unadvises the sink from source's connection point with the kept cookie;
  // the cookie reads kNotAdvised afterwards whatever the outcome.
  // CONNECT_E_NOCONNECTION when the sink is not advised.
  HRESULT Unadvise(IUnknown* source) {
    DWORD cookie = std::exchange(cookie_, kNotAdvised);
    if (cookie == kNotAdvised) return CONNECT_E_NOCONNECTION;
    if (!source) return E_POINTER;
    ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(source, &point);
    return SUCCEEDED(hr) ? point->Unadvise(cookie) : hr;
  }

  DWORD cookie() const { return cookie_; }
  bool advised() const { return cookie_ != kNotAdvised; }

  // The version of the host's event type library that the sink stands for.
  void SetTypeLibVersion(WORD major, WORD minor) { typeLibMajor_ = major, typeLibMinor_ = minor; }
  WORD typeLibMajorVersion() const { return typeLibMajor_; }
  WORD typeLibMinorVersion() const { return typeLibMinor_; }

  // Cuts the sink from its owner: later events do nothing.
  void Orphan() { owner_ = nullptr; }

 protected:
  void* QueryOtherInterface(REFIID riid) override {
    return riid == iid_ ? static_cast<IDispatch*>(this) : nullptr;
  }

 private:
  HRESULT FindPoint(IUnknown* source, ComPtr<IConnectionPoint>* point) const {
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = ComPtr<IUnknown>(source).As(&container);
    if (SUCCEEDED(hr) && !container) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(iid_, point->ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr) && !*point) hr = CONNECT_E_NOCONNECTION;
    return hr;
  }

  IID iid_;
  Owner* owner_;
  std::span<const Entry> map_;
  DWORD cookie_ = kNotAdvised;
  WORD typeLibMajor_ = 0;
  WORD typeLibMinor_ = 0;
};
