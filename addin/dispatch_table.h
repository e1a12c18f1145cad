// The late-bound face of a dual interface: a table that maps each DISPID to
// an invoker, which unpacks the VARIANT arguments of IDispatch::Invoke, calls
// the early-bound member and packs its results. The table is data: one
// DispatchEntry per member, made with DispatchMethod<&I::Member>(dispid) or
// DispatchPropertyGet<&I::get_Member>(dispid).
//
// Rules of the invocation:
// - Positional arguments stand in reverse order in DISPPARAMS::rgvarg, as
//   COM passes them. Named arguments are refused (DISP_E_NONAMEDARGS).
// - In-arguments are coerced to the member's type with VariantChangeType
//   (texts, integers) or taken as objects (VT_UNKNOWN, VT_DISPATCH; VT_EMPTY
//   and VT_NULL give null); by-reference arguments are followed. One that
//   does not fit gives DISP_E_TYPEMISMATCH with its rgvarg index in argErr.
// - A last parameter that is an out-pointer (LONG*, LONGLONG*, BSTR*) is
//   either passed by the caller as a by-reference argument of its type (or a
//   VARIANT by reference), and then written there, or left out, and then its
//   value comes back in the result VARIANT (retval style). Any other count
//   of arguments gives DISP_E_BADPARAMCOUNT.
// - A BSTR* declared as an in-parameter (DispatchMethodInRef) takes a
//   VT_BSTR | VT_BYREF argument and passes the pointer on unchanged (a plain
//   VT_BSTR is accepted too); nothing is written through it.
// - A member's failure is reported as the system's type-library invocation
//   (ITypeInfo::Invoke) reports it for a dual interface: Invoke returns
//   DISP_E_EXCEPTION, and EXCEPINFO (when given) carries the member's HRESULT
//   as its scode and the thread's COM error object, if the member left one
//   (source, description, help file and context; the object is taken off the
//   thread). So 0x80040200 from RefreshTable, E_INVALIDARG from SetDD and
//   -1 from OpenFile all arrive as DISP_E_EXCEPTION with that scode. A
//   member's success status is Invoke's result as it is, S_FALSE included
//   (the system's invocation would turn it into S_OK; the caller needs it to
//   tell a failed export or import from a successful one).
// - Unknown DISPIDs, and flags that do not ask for the member's kind
//   (DISPATCH_METHOD for a method, DISPATCH_PROPERTYGET for a property get),
//   give DISP_E_MEMBERNOTFOUND.
#pragma once

#include <cstddef>
#include <span>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com_ptr.h"
#include "platform/unknown.h"
#include "platform/variant.h"

namespace harbolt {

// One Invoke call as an invoker sees it.
class InvokeCall {
 public:
  InvokeCall(const DISPPARAMS& params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
      : params_(params), result_(result), excepInfo_(excepInfo), argErr_(argErr) {}

  UINT count() const { return params_.cArgs; }
  // Positional argument `index` in call order (0 is the first); index <
  // count().
  VARIANT* Argument(UINT index) const { return &params_.rgvarg[params_.cArgs - 1 - index]; }
  // The caller's result variant; may be null.
  VARIANT* result() const { return result_; }
  // Records positional argument `index` as the one that did not fit and
  // returns DISP_E_TYPEMISMATCH.
  HRESULT Mismatch(UINT index) const;
  // Invoke's result for the member's status (see the rules above); fills
  // the caller's EXCEPINFO for a failure.
  HRESULT MemberResult(HRESULT status) const;

 private:
  const DISPPARAMS& params_;
  VARIANT* result_;
  EXCEPINFO* excepInfo_;
  UINT* argErr_;
};

template <typename Interface>
struct DispatchEntry {
  DISPID dispid;
  WORD kind;  // DISPATCH_METHOD or DISPATCH_PROPERTYGET
  HRESULT (*invoke)(Interface* object, const InvokeCall& call);
};

namespace dispatch_internal {

// In-arguments: Load takes positional argument `index` of the call; value()
// is what the member gets, valid until the adapter goes.
class TextIn {
 public:
  HRESULT Load(const InvokeCall& call, UINT index);
  BSTR value() const { return value_; }

 private:
  ScopedVariant converted_;
  BSTR value_ = nullptr;  // the caller's text or converted_'s
};

class TextRefIn {
 public:
  HRESULT Load(const InvokeCall& call, UINT index);
  BSTR* value() const { return value_; }

 private:
  ScopedVariant converted_;
  BSTR* value_ = nullptr;
};

class LongIn {
 public:
  HRESULT Load(const InvokeCall& call, UINT index);
  LONG value() const { return value_; }

 private:
  LONG value_ = 0;
};

class ULongIn {
 public:
  HRESULT Load(const InvokeCall& call, UINT index);
  ULONG value() const { return value_; }

 private:
  ULONG value_ = 0;
};

class UnknownIn {
 public:
  HRESULT Load(const InvokeCall& call, UINT index);
  IUnknown* value() const { return value_.Get(); }

 private:
  ComPtr<IUnknown> value_;
};

class DispatchIn {
 public:
  HRESULT Load(const InvokeCall& call, UINT index);
  IDispatch* value() const { return value_.Get(); }

 private:
  ComPtr<IDispatch> value_;
};

// The types an out-parameter may have, with their VARIANT forms.
template <typename T>
struct OutKind;
template <>
struct OutKind<LONG> {
  static constexpr VARTYPE kType = VT_I4;
  static LONG* Pointer(const VARIANT& v) { return v.plVal; }
  static void Store(VARIANT* v, LONG value) { v->vt = VT_I4, v->lVal = value; }
  static void Free(LONG) {}
};
template <>
struct OutKind<LONGLONG> {
  static constexpr VARTYPE kType = VT_I8;
  static LONGLONG* Pointer(const VARIANT& v) { return v.pllVal; }
  static void Store(VARIANT* v, LONGLONG value) { v->vt = VT_I8, v->llVal = value; }
  static void Free(LONGLONG) {}
};
template <>
struct OutKind<BSTR> {
  static constexpr VARTYPE kType = VT_BSTR;
  static BSTR* Pointer(const VARIANT& v) { return v.pbstrVal; }
  static void Store(VARIANT* v, BSTR value) { v->vt = VT_BSTR, v->bstrVal = value; }
  static void Free(BSTR value) { SysFreeString(value); }
};

// The last out-parameter: written through the caller's by-reference
// argument, into the VARIANT it refers to, or into the result variant.
template <typename T>
class Out {
 public:
  Out() = default;
  Out(const Out&) = delete;
  Out& operator=(const Out&) = delete;
  ~Out() { OutKind<T>::Free(local_); }

  HRESULT Load(const InvokeCall& call, UINT index) {
    if (index >= call.count()) return S_OK;  // left out: retval style
    const VARIANT& arg = *call.Argument(index);
    if (arg.vt == (OutKind<T>::kType | VT_BYREF) && OutKind<T>::Pointer(arg)) {
      target_ = OutKind<T>::Pointer(arg);
      return S_OK;
    }
    if (arg.vt == (VT_VARIANT | VT_BYREF) && arg.pvarVal) {
      variant_ = arg.pvarVal;
      return S_OK;
    }
    return call.Mismatch(index);
  }
  T* value() { return target_ ? target_ : &local_; }
  void Finish(const InvokeCall& call, HRESULT hr) {
    if (target_ || FAILED(hr)) return;
    VARIANT* destination = variant_ ? variant_ : call.result();
    if (!destination) return;
    if (variant_) VariantClear(variant_);
    OutKind<T>::Store(destination, std::exchange(local_, T{}));
  }

 private:
  T local_{};
  T* target_ = nullptr;
  VARIANT* variant_ = nullptr;
};

template <typename P, bool kOut, bool kInRef>
struct AdapterSelect;
template <bool kInRef>
struct AdapterSelect<BSTR, false, kInRef> {
  using type = TextIn;
};
template <>
struct AdapterSelect<BSTR*, false, true> {
  using type = TextRefIn;
};
template <bool kInRef>
struct AdapterSelect<LONG, false, kInRef> {
  using type = LongIn;
};
template <bool kInRef>
struct AdapterSelect<ULONG, false, kInRef> {
  using type = ULongIn;
};
template <bool kInRef>
struct AdapterSelect<IUnknown*, false, kInRef> {
  using type = UnknownIn;
};
template <bool kInRef>
struct AdapterSelect<IDispatch*, false, kInRef> {
  using type = DispatchIn;
};
template <typename T>
struct AdapterSelect<T*, true, false> {
  using type = Out<T>;
};

template <typename... P>
constexpr bool LastIsOutPointer() {
  if constexpr (sizeof...(P) == 0) {
    return false;
  } else {
    using Last = std::tuple_element_t<sizeof...(P) - 1, std::tuple<P...>>;
    return std::is_same_v<Last, LONG*> || std::is_same_v<Last, LONGLONG*> ||
           std::is_same_v<Last, BSTR*>;
  }
}

template <auto Member, bool kInRefLast>
struct MemberInvoker;

template <typename C, typename... P, HRESULT (STDMETHODCALLTYPE C::*Member)(P...), bool kInRefLast>
struct MemberInvoker<Member, kInRefLast> {
  using Class = C;
  static constexpr size_t kCount = sizeof...(P);
  static constexpr bool kHasOut = !kInRefLast && LastIsOutPointer<P...>();

  template <size_t I>
  using AdapterAt =
      typename AdapterSelect<std::tuple_element_t<I, std::tuple<P...>>, kHasOut && I + 1 == kCount,
                             kInRefLast && I + 1 == kCount>::type;

  static HRESULT Invoke(C* object, const InvokeCall& call) {
    UINT given = call.count();
    if (given != kCount && !(kHasOut && given + 1 == kCount)) return DISP_E_BADPARAMCOUNT;
    return Apply(object, call, std::make_index_sequence<kCount>());
  }

 private:
  template <size_t... I>
  static HRESULT Apply(C* object, const InvokeCall& call, std::index_sequence<I...>) {
    std::tuple<AdapterAt<I>...> adapters;
    HRESULT hr = S_OK;
    ((hr = SUCCEEDED(hr) ? std::get<I>(adapters).Load(call, static_cast<UINT>(I)) : hr), ...);
    if (FAILED(hr)) return hr;
    hr = (object->*Member)(std::get<I>(adapters).value()...);
    (Finish(std::get<I>(adapters), call, hr), ...);
    return call.MemberResult(hr);
  }
  template <typename Adapter>
  static void Finish(Adapter& adapter, const InvokeCall& call, HRESULT hr) {
    if constexpr (requires { adapter.Finish(call, hr); }) adapter.Finish(call, hr);
  }
};

// Checks what every call must satisfy before its member is looked at.
HRESULT CheckCall(bool found, WORD memberKind, REFIID riid, WORD flags, const DISPPARAMS* params);

}  // namespace dispatch_internal

// Table entries for a member &I::Name with its DISPID.
template <auto Member>
constexpr auto DispatchMethod(DISPID dispid) {
  using Invoker = dispatch_internal::MemberInvoker<Member, false>;
  return DispatchEntry<typename Invoker::Class>{dispid, DISPATCH_METHOD, &Invoker::Invoke};
}
// A member whose last parameter is a BSTR* read as input.
template <auto Member>
constexpr auto DispatchMethodInRef(DISPID dispid) {
  using Invoker = dispatch_internal::MemberInvoker<Member, true>;
  return DispatchEntry<typename Invoker::Class>{dispid, DISPATCH_METHOD, &Invoker::Invoke};
}
template <auto Member>
constexpr auto DispatchPropertyGet(DISPID dispid) {
  using Invoker = dispatch_internal::MemberInvoker<Member, false>;
  return DispatchEntry<typename Invoker::Class>{dispid, DISPATCH_PROPERTYGET, &Invoker::Invoke};
}

// IDispatch::Invoke over a table (see the rules above).
template <typename Interface>
HRESULT DispatchInvoke(std::span<const DispatchEntry<Interface>> table, Interface* object,
                       DISPID dispid, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excepInfo, UINT* argErr) {
  const DispatchEntry<Interface>* entry = nullptr;
  for (const DispatchEntry<Interface>& candidate : table) {
    if (candidate.dispid == dispid) {
      entry = &candidate;
      break;
    }
  }
  HRESULT hr =
      dispatch_internal::CheckCall(entry != nullptr, entry ? entry->kind : 0, riid, flags, params);
  if (FAILED(hr)) return hr;
  const DISPPARAMS none{};
  return entry->invoke(object, InvokeCall(params ? *params : none, result, excepInfo, argErr));
}

}  // namespace harbolt
