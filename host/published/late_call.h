// Late-bound calls into the host's published objects: the DISPID of a
// published member name (HostMember), Invoke with the arguments in the
// published order, and the answer converted to what the add-in's view of the
// host promises.
//
// Conventions:
// - Every published parameter is passed; none is left to a default.
// - A property put passes its value last, as the one named argument
//   DISPID_PROPERTYPUT; index arguments of an indexed property come before it.
// - Out-parameters are by-reference arguments (VT_BYREF | the type) pointing
//   at the caller's storage.
// - A failure is an HRESULT and a recorded text that names the member
//   ("IFeature.Name failed (0x8004DEAD): the host's words", host_failure.h):
//   a member the host lacks (DISP_E_UNKNOWNNAME, DISP_E_MEMBERNOTFOUND), an
//   exception the host raised (DISP_E_EXCEPTION: the code it carried becomes
//   the result and its description the text), a type mismatch or a wrong
//   argument count, an answer of the wrong type. Nothing is taken for a
//   default.
//
//   LateObject feature(real);
//   ScopedBstr name;
//   HRESULT hr = feature.Get(kFeatureName, name.Receive());
#pragma once

#include <initializer_list>

#include "host/published/host_member.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/safearray.h"
#include "platform/variant.h"

namespace published {

// One argument of a call, borrowed: what it points at must outlive the call.
class HostArg {
 public:
  static HostArg Long(LONG value);
  static HostArg LongLong(LONGLONG value);
  static HostArg Double(double value);
  // VT_BOOL: any true value goes as VARIANT_TRUE.
  static HostArg Bool(bool value);
  // VT_BSTR; a null BSTR is the empty text.
  static HostArg Text(BSTR text);
  // VT_DISPATCH: a host object (not a wrapper of the binding; see
  // bound_object.h); null allowed.
  static HostArg Object(IDispatch* object);
  // A VARIANT passed by value (an array, or VT_EMPTY for "none").
  static HostArg Value(const VARIANT& value);
  // By-reference out-parameters (the host writes the caller's storage).
  static HostArg OutLong(LONG* target);
  static HostArg OutDouble(double* target);
  static HostArg OutBool(VARIANT_BOOL* target);
  static HostArg OutText(BSTR* target);
  static HostArg OutVariant(VARIANT* target);

  const VARIANT& variant() const { return value_; }

 private:
  HostArg() = default;
  VARIANT value_{};
};

// Calls member on object as kind, with args in call order (a put's value
// last). The answer goes to *answer (cleared first; null when the caller
// wants none). See the conventions above for failures.
HRESULT CallHost(IDispatch* object, HostMember& member, CallKind kind,
                 std::initializer_list<HostArg> args, VARIANT* answer);

// Converters of an answer into the promised type. Each takes over the
// answer's content, sets *out (0, null or an empty array on failure) and
// fails with DISP_E_TYPEMISMATCH, recording a text, for an answer of another
// type.
// - numbers: any integer type; doubles also from VT_R4.
// - booleans: VT_BOOL (or an integer), normalised to -1 / 0.
// - texts: VT_BSTR.
// - objects: VT_DISPATCH or VT_UNKNOWN (asked for IDispatch); VT_EMPTY,
//   VT_NULL and a null object are "no object".
// - arrays: VT_ARRAY of the element type or of VT_VARIANT, re-packed into a
//   one-dimensional array of elementType with lower bound 0; VT_EMPTY and
//   VT_NULL are an empty array.
HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, LONG* out);
HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, double* out);
HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, VARIANT_BOOL* out);
HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, BSTR* out);
HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, ComPtr<IDispatch>* out);
HRESULT TakeArray(const HostMember& member, VARIANT& answer, VARTYPE elementType,
                  ScopedSafeArray* out);

// The binding's reference on one host object, and the calls on it.
class LateObject {
 public:
  explicit LateObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  IDispatch* get() const { return object_.Get(); }

  // A method or a property get whose answer is converted into *out
  // (TakeAnswer); E_POINTER for a null out.
  template <typename T>
  HRESULT Method(HostMember& member, T* out, std::initializer_list<HostArg> args = {}) const {
    return CallAndTake(member, CallKind::kMethod, out, args);
  }
  template <typename T>
  HRESULT Get(HostMember& member, T* out, std::initializer_list<HostArg> args = {}) const {
    return CallAndTake(member, CallKind::kGet, out, args);
  }
  // An array answer (TakeArray).
  HRESULT MethodArray(HostMember& member, VARTYPE elementType, ScopedSafeArray* out,
                      std::initializer_list<HostArg> args = {}) const;
  // A method whose answer is not used (a void member).
  HRESULT Call(HostMember& member, std::initializer_list<HostArg> args = {}) const;
  // A property put: args are the index arguments, then the value.
  HRESULT Put(HostMember& member, std::initializer_list<HostArg> args) const;

 private:
  template <typename T>
  HRESULT CallAndTake(HostMember& member, CallKind kind, T* out,
                      std::initializer_list<HostArg> args) const {
    if (!out) return E_POINTER;
    ScopedVariant answer;
    HRESULT hr = CallHost(object_.Get(), member, kind, args, answer.Receive());
    if (FAILED(hr)) {
      // The answer is empty; converting it would record a second failure.
      *out = T{};
      return hr;
    }
    return TakeAnswer(member, *answer.Get(), out);
  }

  ComPtr<IDispatch> object_;
};

}  // namespace published
