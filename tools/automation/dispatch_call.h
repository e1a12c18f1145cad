// Calling an object late-bound, as a caller written against IDispatch does:
// the DISPID of a name from GetIDsOfNames, then Invoke with positional
// VARIANT arguments (in reverse order in DISPPARAMS, as COM passes them).
// Used by the command-line caller and by the tests.
//
//   Call(disp, u"SetCaxHandle", {Arg(u"h")});
//   ScopedVariant status;
//   Call(disp, u"ToolbarEnableAll", {}, status.Receive());
//   LONG number = LongProperty(disp, u"errNumber");
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/bstr.h"
#include "platform/unknown.h"
#include "platform/variant.h"

namespace automation {

// One argument of a call, owning its value (copies copy it).
class Arg {
 public:
  Arg(LONG value);                // NOLINT: VT_I4
  Arg(const char16_t* text);      // NOLINT: VT_BSTR; null gives a null BSTR
  Arg(std::u16string_view text);  // NOLINT: VT_BSTR
  Arg(const Arg& other);
  Arg& operator=(const Arg&) = delete;
  ~Arg();

  // VT_UNKNOWN or VT_DISPATCH with a reference on the object (null allowed).
  static Arg Unknown(IUnknown* object);
  static Arg Dispatch(IDispatch* object);
  static Arg Empty();
  static Arg Null();
  static Arg Double(double value);
  // By-reference arguments pointing at the caller's storage.
  static Arg LongRef(LONG* target);
  static Arg LongLongRef(LONGLONG* target);
  static Arg BstrRef(BSTR* target);
  static Arg VariantRef(VARIANT* target);

  const VARIANT& value() const { return value_; }

 private:
  Arg();
  VARIANT value_;
};

// What Invoke reported besides its result.
struct CallDetails {
  UINT argErr = static_cast<UINT>(-1);
  SCODE scode = 0;
  std::u16string source;       // EXCEPINFO's source
  std::u16string description;  // EXCEPINFO's description
};

// The DISPID of the name; DISPID_UNKNOWN when GetIDsOfNames fails.
DISPID DispIdOf(IDispatch* object, std::u16string_view name);

// Invoke of a DISPID with the flags and the arguments (in call order). The
// result goes to result (may be null), the rest to details (may be null).
HRESULT Invoke(IDispatch* object, DISPID dispid, WORD flags, std::initializer_list<Arg> args,
               VARIANT* result = nullptr, CallDetails* details = nullptr);

// A method call by name; GetIDsOfNames's failure when the name is unknown.
HRESULT Call(IDispatch* object, std::u16string_view name, std::initializer_list<Arg> args = {},
             VARIANT* result = nullptr, CallDetails* details = nullptr);

// A method call by name that gives the member's own status: Call's result,
// except that a member's failure, which Invoke reports as DISP_E_EXCEPTION,
// gives the status it carried in EXCEPINFO's scode.
HRESULT CallMember(IDispatch* object, std::u16string_view name,
                   std::initializer_list<Arg> args = {}, VARIANT* result = nullptr,
                   CallDetails* details = nullptr);

// A property get by name.
HRESULT GetProperty(IDispatch* object, std::u16string_view name, VARIANT* result);
// The property's value as a number or text; -12345 or "<failed>" when the
// get fails or gives another type.
LONG LongProperty(IDispatch* object, std::u16string_view name);
std::u16string TextProperty(IDispatch* object, std::u16string_view name);

}  // namespace automation
