// The binding's wrappers: each implements one interface of the add-in's view
// of the host (host/*.h) over one host object that it holds, calling the
// object late-bound by its published member names (late_call.h).
//
// Identity: there is one wrapper per host object and kind of wrapper, so
// that the add-in, which tells documents apart by their IUnknown, sees one
// document as one object however it reached it (the application's document
// walk, an event's argument). A wrapper handed back to the host (an argument
// of a host call) is unwrapped to the host object behind it (Unwrap).
#pragma once

#include <utility>

#include "host/published/late_call.h"
#include "platform/com_object.h"

// How the binding recognises its own wrappers.
struct IBoundObject : IUnknown {
  // The host object behind the wrapper, borrowed.
  virtual IDispatch* STDMETHODCALLTYPE HostObject() = 0;

 protected:
  ~IBoundObject() = default;
};
HB_DECLARE_IID(IBoundObject, "{5E0A6A4C-0F5D-4C8B-9A55-3C1D2E6B8F21}");

namespace published {

// The host object behind a wrapper of the binding; any other object as its
// own IDispatch (null when it has none). Null for null.
ComPtr<IDispatch> Unwrap(IUnknown* object);

namespace wrappers {
// The live wrapper of that kind for the host object with that identity;
// null when there is none.
IUnknown* Find(IUnknown* identity, const void* kind);
void Add(IUnknown* identity, const void* kind, IUnknown* wrapper);
void Remove(IUnknown* identity, const void* kind);
// How many wrappers are alive (for tests).
size_t Count();
}  // namespace wrappers

// A COM object that implements interfaces of the add-in's view of the host:
// that view is called early-bound only, so its IDispatch has no names.
template <typename... Interfaces>
class EarlyBoundObject : public ComObject<Interfaces...> {
 public:
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

// The base of a wrapper class Self that implements Interfaces... .
template <typename Self, typename... Interfaces>
class BoundObject : public EarlyBoundObject<Interfaces..., IBoundObject> {
 public:
  IDispatch* STDMETHODCALLTYPE HostObject() override { return host_.get(); }

  // The wrapper of the host object as I: the one it has, or a new one. Null
  // (with S_OK) for no object.
  template <typename I, typename... Extra>
  static HRESULT Wrap(ComPtr<IDispatch> object, I** out, Extra&&... extra) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!object) return S_OK;
    ComPtr<IUnknown> identity;
    if (FAILED(object.As(&identity)) || !identity) identity = ComPtr<IUnknown>(object.Get());
    if (IUnknown* found = wrappers::Find(identity.Get(), Kind())) {
      return found->QueryInterface(IidOf<I>(), reinterpret_cast<void**>(out));
    }
    ComPtr<I> made =
        MakeComObject<Self, I>(std::move(object), identity.Get(), std::forward<Extra>(extra)...);
    *out = made.Detach();
    return S_OK;
  }

 protected:
  BoundObject(ComPtr<IDispatch> object, IUnknown* identity)
      : host_(std::move(object)), identity_(identity) {
    wrappers::Add(identity_, Kind(), static_cast<IBoundObject*>(this));
  }
  ~BoundObject() override { wrappers::Remove(identity_, Kind()); }

  static const void* Kind() {
    static constexpr char kTag = 0;
    return &kTag;
  }

  LateObject host_;

 private:
  // The host object's IUnknown; host_ keeps it alive.
  IUnknown* identity_;
};

// FindConnectionPoint of a wrapper, passed on to the host object's own
// connection points (sinks are advised on the host object itself).
HRESULT FindHostConnectionPoint(IDispatch* host, REFIID riid, IConnectionPoint** point);

}  // namespace published
