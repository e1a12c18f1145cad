// How an argument of IDispatch::Invoke becomes a parameter of a published
// member's C++ method, chosen by the parameter's C++ type:
//
//   LONG, LONGLONG, double, bool,   an in-value, coerced as a type-library-
//   std::u16string_view             driven Invoke does (VariantChangeType;
//                                   by-reference values followed)
//   IDispatch*                      an object: VT_DISPATCH, or VT_UNKNOWN asked
//                                   for IDispatch; VT_EMPTY, VT_NULL and a
//                                   null object are "no object" (null)
//   const VARIANT&                  an in-value of the published type Object
//                                   (lists, configuration names), as it came
//   const VARIANT*                  an Object passed by reference ("ref"):
//                                   VT_BYREF | VT_VARIANT only
//   LONG*, double*, bool*,          an out-parameter: VT_BYREF | that type, or
//   std::u16string*                 VT_BYREF | VT_VARIANT
//   std::vector<LONG>*,             an out-parameter of the published type
//   std::vector<std::u16string>*    Object: VT_BYREF | VT_VARIANT
//
// Every Argument<T> has Read (S_OK, or DISP_E_TYPEMISMATCH for an argument
// that does not fit), Value (what the method gets), Describe (the journal's
// text of it) and WriteBack (writes an out-parameter once the method ran).
// An out-parameter starts as 0, false or empty.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/format.h"
#include "platform/variant.h"
#include "sim/variant_values.h"

namespace sim {

template <typename T>
class Argument;

namespace argument_detail {

inline void Take(const VARIANT& v, LONG* out) { *out = v.lVal; }
inline void Take(const VARIANT& v, LONGLONG* out) { *out = v.llVal; }
inline void Take(const VARIANT& v, double* out) { *out = v.dblVal; }
inline void Take(const VARIANT& v, bool* out) { *out = v.boolVal != VARIANT_FALSE; }

template <typename T>
std::u16string Text(T value) {
  if constexpr (std::is_same_v<T, bool>) {
    return value ? u"true" : u"false";
  } else if constexpr (std::is_integral_v<T>) {
    return platform::FormatWide(platform::kUnlimited, u"%lld", static_cast<LONGLONG>(value));
  } else {
    return platform::FormatWide(platform::kUnlimited, u"%g", value);
  }
}

// A number or a flag, of the VARIANT type kType.
template <typename T, VARTYPE kType>
class Coerced {
 public:
  HRESULT Read(const VARIANT& in) {
    if (in.vt == kType) {
      Take(in, &value_);
      return S_OK;
    }
    ScopedVariant converted;
    if (FAILED(VariantChangeType(converted.Get(), &in, 0, kType))) return DISP_E_TYPEMISMATCH;
    Take(*converted.Get(), &value_);
    return S_OK;
  }
  T Value() const { return value_; }
  std::u16string Describe() const { return Text(value_); }
  void WriteBack(const AnswerStyle&) {}

 private:
  T value_{};
};

// An out-parameter of type T; kType is the VARIANT type it may also come as
// by reference (VT_EMPTY: only VT_VARIANT).
template <typename T, VARTYPE kType>
class Out {
 public:
  HRESULT Read(const VARIANT& in) {
    bool fits =
        in.vt == (VT_BYREF | VT_VARIANT) || (kType != VT_EMPTY && in.vt == (VT_BYREF | kType));
    if (!fits) return DISP_E_TYPEMISMATCH;
    target_ = &in;
    return S_OK;
  }
  T* Value() { return &value_; }
  std::u16string Describe() const { return u"out"; }
  void WriteBack(const AnswerStyle& style) { WriteReference(*target_, value_, style); }

 private:
  const VARIANT* target_ = nullptr;
  T value_{};
};

}  // namespace argument_detail

template <>
class Argument<LONG> : public argument_detail::Coerced<LONG, VT_I4> {};
template <>
class Argument<LONGLONG> : public argument_detail::Coerced<LONGLONG, VT_I8> {};
template <>
class Argument<double> : public argument_detail::Coerced<double, VT_R8> {};
template <>
class Argument<bool> : public argument_detail::Coerced<bool, VT_BOOL> {};

template <>
class Argument<std::u16string_view> {
 public:
  HRESULT Read(const VARIANT& in) {
    if (in.vt == VT_BSTR) {
      value_ = BstrView(in.bstrVal);
      return S_OK;
    }
    if (FAILED(VariantChangeType(held_.Receive(), &in, 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
    value_ = BstrView(held_.Get()->bstrVal);
    return S_OK;
  }
  std::u16string_view Value() const { return value_; }
  std::u16string Describe() const { return std::u16string(value_); }
  void WriteBack(const AnswerStyle&) {}

 private:
  ScopedVariant held_;
  std::u16string_view value_;
};

template <>
class Argument<IDispatch*> {
 public:
  HRESULT Read(const VARIANT& in) {
    const VARIANT* value = in.vt == (VT_BYREF | VT_VARIANT) ? in.pvarVal : &in;
    bool byReference = value && (value->vt & VT_BYREF) != 0;
    if (!value || (byReference && !value->byref)) return DISP_E_TYPEMISMATCH;
    switch (value->vt & ~VT_BYREF) {
      case VT_EMPTY:
      case VT_NULL:
        return S_OK;
      case VT_DISPATCH:
        object_ = byReference ? *value->ppdispVal : value->pdispVal;
        return S_OK;
      case VT_UNKNOWN: {
        IUnknown* unknown = byReference ? *value->ppunkVal : value->punkVal;
        if (!unknown) return S_OK;
        if (FAILED(unknown->QueryInterface(
                IidOf<IDispatch>(), reinterpret_cast<void**>(held_.ReleaseAndGetAddressOf())))) {
          return DISP_E_TYPEMISMATCH;
        }
        object_ = held_.Get();
        return S_OK;
      }
      default:
        return DISP_E_TYPEMISMATCH;
    }
  }
  IDispatch* Value() const { return object_; }
  std::u16string Describe() const { return object_ ? u"object" : u"null"; }
  void WriteBack(const AnswerStyle&) {}

 private:
  ComPtr<IDispatch> held_;
  IDispatch* object_ = nullptr;
};

template <>
class Argument<const VARIANT&> {
 public:
  HRESULT Read(const VARIANT& in) {
    value_ = in.vt == (VT_BYREF | VT_VARIANT) ? in.pvarVal : &in;
    return value_ ? S_OK : DISP_E_TYPEMISMATCH;
  }
  const VARIANT& Value() const { return *value_; }
  std::u16string Describe() const { return ValueText(*value_); }
  void WriteBack(const AnswerStyle&) {}

 private:
  const VARIANT* value_ = nullptr;
};

template <>
class Argument<const VARIANT*> {
 public:
  HRESULT Read(const VARIANT& in) {
    if (in.vt != (VT_BYREF | VT_VARIANT) || !in.pvarVal) return DISP_E_TYPEMISMATCH;
    value_ = in.pvarVal;
    return S_OK;
  }
  const VARIANT* Value() const { return value_; }
  std::u16string Describe() const { return ValueText(*value_); }
  void WriteBack(const AnswerStyle&) {}

 private:
  const VARIANT* value_ = nullptr;
};

template <>
class Argument<LONG*> : public argument_detail::Out<LONG, VT_I4> {};
template <>
class Argument<double*> : public argument_detail::Out<double, VT_R8> {};
template <>
class Argument<bool*> : public argument_detail::Out<bool, VT_BOOL> {};
template <>
class Argument<std::u16string*> : public argument_detail::Out<std::u16string, VT_BSTR> {};
template <>
class Argument<std::vector<LONG>*> : public argument_detail::Out<std::vector<LONG>, VT_EMPTY> {};
template <>
class Argument<std::vector<std::u16string>*>
    : public argument_detail::Out<std::vector<std::u16string>, VT_EMPTY> {};

}  // namespace sim
