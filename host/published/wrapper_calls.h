// What the binding's wrappers share: calls whose answer is a host object to
// wrap, the element of a one-element array answer, lists of host objects
// turned into lists of wrappers, and the binding's own refusals (the checks
// that the add-in's view of the host promises where the host itself would
// silently do something else).
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include "host/published/late_call.h"

namespace published {

// A wrapping function of bound_objects.h.
template <typename I>
using WrapFunction = HRESULT (*)(ComPtr<IDispatch>, I**);

// Records that the binding refused a call of member for reason; returns hr.
HRESULT Refuse(const HostMember& member, HRESULT hr, std::u16string_view reason);

// A method (or property get) whose answer is a host object, wrapped into
// *out; null with S_OK when the host gave none.
template <typename I>
HRESULT MethodWrapped(const LateObject& host, HostMember& member, WrapFunction<I> wrap, I** out,
                      std::initializer_list<HostArg> args = {}) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ComPtr<IDispatch> object;
  HRESULT hr = host.Method(member, &object, args);
  return FAILED(hr) ? hr : wrap(std::move(object), out);
}
template <typename I>
HRESULT GetWrapped(const LateObject& host, HostMember& member, WrapFunction<I> wrap, I** out,
                   std::initializer_list<HostArg> args = {}) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ComPtr<IDispatch> object;
  HRESULT hr = host.Get(member, &object, args);
  return FAILED(hr) ? hr : wrap(std::move(object), out);
}

// A wrapper handed out as IDispatch (the add-in's view passes some objects
// that way).
template <typename I>
HRESULT AsDispatch(HRESULT hr, ComPtr<I> wrapper, IDispatch** out) {
  *out = FAILED(hr) ? nullptr : static_cast<IDispatch*>(wrapper.Detach());
  return hr;
}

// The first element of a one-dimensional array of doubles or booleans that
// a member answered; a failure naming member when the array is empty.
HRESULT FirstDouble(const HostMember& member, const ScopedSafeArray& array, double* out);
HRESULT FirstBool(const HostMember& member, const ScopedSafeArray& array, VARIANT_BOOL* out);

// A VT_DISPATCH vector of the wrappers of the host objects in hostObjects
// (a VT_DISPATCH vector); a null element stays null.
template <typename I>
HRESULT WrapList(const HostMember& member, const ScopedSafeArray& hostObjects, WrapFunction<I> wrap,
                 SAFEARRAY** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const LONG count = hostObjects.Count();
  ScopedSafeArray result(SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(count)));
  if (!result.Get()) return Refuse(member, E_OUTOFMEMORY, u"no memory for the list");
  for (LONG i = 0; i < count; ++i) {
    ComPtr<IDispatch> object;
    HRESULT hr = SafeArrayGetElement(hostObjects.Get(), &i, object.ReleaseAndGetAddressOf());
    ComPtr<I> wrapped;
    if (SUCCEEDED(hr)) hr = wrap(std::move(object), wrapped.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
      hr = SafeArrayPutElement(result.Get(), &i, static_cast<IDispatch*>(wrapped.Get()));
    if (FAILED(hr)) return Refuse(member, hr, u"a list element cannot be taken");
  }
  *out = result.Release();
  return S_OK;
}

}  // namespace published
