// Checked calls of the host interfaces. The host reports every result
// through an out-parameter and an HRESULT; these helpers turn a failing
// HRESULT into the program's exception, so that the callers read the host as
// plain values and a failure of the host is never taken for an empty answer.
//
//   std::u16string name = hostutil::HostGet(u"IHostFeature::GetName", feature,
//                                           &IHostFeature::GetName);
//   ComPtr<IHostFeature> next = hostutil::HostGet(u"IHostFeature::GetNextFeature", feature,
//                                                 &IHostFeature::GetNextFeature);
#pragma once

#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/safearray.h"
#include "platform/win_types.h"

namespace hostutil {

// The text of a failed host call: the one the binding recorded for hr
// ("IFeature.Name failed (0x%08X): ...", naming the host's member and
// keeping its words), taken off the thread, else "<operation> failed
// (0x%08X)".
std::u16string HostFailureMessage(HRESULT hr, std::u16string_view operation);

// Raises Dovbase::Kvx_Exception with HostFailureMessage when hr is a failure
// code; does nothing otherwise (S_FALSE included).
void CheckHost(HRESULT hr, std::u16string_view operation);

// Raises Dovbase::Kvx_Exception "<operation>: no object" (a call on a null
// reference would crash the host process).
[[noreturn]] void ThrowNoObject(std::u16string_view operation);

// Calls (object->*method)(args..., &out), whose last parameter is the
// out-parameter, raises on a failing HRESULT (CheckHost) or a null object, and
// returns what the host gave, owned by the caller:
// - BSTR*            -> std::u16string (a null text reads as empty)
// - I** (interface)  -> ComPtr<I> (null when the host gave none)
// - SAFEARRAY**      -> ScopedSafeArray
// - any other T*     -> T
template <typename T, typename... Params, typename... Args>
auto HostGet(std::u16string_view operation, T* object,
             HRESULT (STDMETHODCALLTYPE T::*method)(Params...), Args&&... args) {
  static_assert(sizeof...(Params) >= 1, "the last parameter must be the out-parameter");
  using OutPointer = std::tuple_element_t<sizeof...(Params) - 1, std::tuple<Params...>>;
  static_assert(std::is_pointer_v<OutPointer>, "the last parameter must be a pointer");
  using Out = std::remove_pointer_t<OutPointer>;
  if (!object) ThrowNoObject(operation);
  if constexpr (std::is_same_v<Out, BSTR>) {
    ScopedBstr text;
    CheckHost((object->*method)(std::forward<Args>(args)..., text.Receive()), operation);
    return text.Str();
  } else if constexpr (std::is_same_v<Out, SAFEARRAY*>) {
    ScopedSafeArray array;
    CheckHost((object->*method)(std::forward<Args>(args)..., array.Receive()), operation);
    return array;
  } else if constexpr (std::is_pointer_v<Out> &&
                       std::is_base_of_v<IUnknown, std::remove_pointer_t<Out>>) {
    ComPtr<std::remove_pointer_t<Out>> result;
    CheckHost((object->*method)(std::forward<Args>(args)..., result.ReleaseAndGetAddressOf()),
              operation);
    return result;
  } else {
    Out value{};
    CheckHost((object->*method)(std::forward<Args>(args)..., &value), operation);
    return value;
  }
}

// The same for a reference held in a ComPtr.
template <typename T, typename... Params, typename... Args>
auto HostGet(std::u16string_view operation, const ComPtr<T>& object,
             HRESULT (STDMETHODCALLTYPE T::*method)(Params...), Args&&... args) {
  return HostGet(operation, object.Get(), method, std::forward<Args>(args)...);
}

// QueryInterface of `object` for I: null when the object is null or does not
// answer for I (an object of another kind, which the callers treat as
// "none").
template <typename I, typename T>
ComPtr<I> QueryHost(const ComPtr<T>& object) {
  ComPtr<I> result;
  if (object && FAILED(object.As(&result))) result = nullptr;
  return result;
}

}  // namespace hostutil
