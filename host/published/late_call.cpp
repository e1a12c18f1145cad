#include "host/published/late_call.h"

#include <chrono>
#include <cstdint>
#include <iterator>
#include <vector>

#include "host/published/host_failure.h"
#include "host/published/host_trace.h"
#include "platform/format.h"

namespace published {
namespace {

// More than any published member the add-in calls takes.
constexpr size_t kMaxArguments = 12;

constexpr uint32_t kFacilityItf = 4;

HRESULT Fail(const HostMember& member, HRESULT hr, std::u16string_view detail) {
  return RecordHostFailure(hr, HostFailureText(member.interfaceName(), member.name(), hr, detail));
}

// The text of an EXCEPINFO the host filled, freed.
std::u16string TakeExceptionText(EXCEPINFO& exception) {
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  std::u16string text(BstrView(exception.bstrDescription));
  if (text.empty()) text = std::u16string(BstrView(exception.bstrSource));
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  exception = EXCEPINFO{};
  return text.empty() ? u"the host raised an exception" : text;
}

// The code an exception carried: its scode, or its wCode as an interface
// error, or DISP_E_EXCEPTION itself when it carried neither.
HRESULT ExceptionCode(const EXCEPINFO& exception) {
  if (FAILED(exception.scode)) return exception.scode;
  if (exception.wCode != 0) {
    return static_cast<HRESULT>(0x80000000u | (kFacilityItf << 16) | exception.wCode);
  }
  return DISP_E_EXCEPTION;
}

std::u16string InvokeFailureText(HRESULT hr, UINT argErr, size_t count) {
  if (hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_UNKNOWNNAME) {
    return u"the host has no such member (a release older than the one it was added in?)";
  }
  if (hr == DISP_E_TYPEMISMATCH && argErr < count) {
    return platform::FormatWide(platform::kUnlimited,
                                u"argument %d does not have the type the host expects",
                                static_cast<int>(count - argErr));
  }
  if (hr == DISP_E_TYPEMISMATCH) return u"an argument does not have the type the host expects";
  if (hr == DISP_E_BADPARAMCOUNT) return u"the host expects another number of arguments";
  if (hr == DISP_E_PARAMNOTOPTIONAL) return u"the host misses an argument";
  return {};
}

const char16_t* TypeName(VARTYPE vt) {
  switch (vt & VT_TYPEMASK) {
    case VT_EMPTY:
      return u"VT_EMPTY";
    case VT_NULL:
      return u"VT_NULL";
    case VT_BOOL:
      return u"VT_BOOL";
    case VT_BSTR:
      return u"VT_BSTR";
    case VT_DISPATCH:
      return u"VT_DISPATCH";
    case VT_UNKNOWN:
      return u"VT_UNKNOWN";
    case VT_R4:
    case VT_R8:
      return u"a real";
    case VT_VARIANT:
      return u"VT_VARIANT";
    default:
      return u"another type";
  }
}

HRESULT Mismatch(const HostMember& member, const VARIANT& answer, const char16_t* expected) {
  std::u16string detail = u"the host answered ";
  if (answer.vt & VT_ARRAY) detail += u"an array of ";
  detail += TypeName(answer.vt);
  detail += u" where ";
  detail += expected;
  detail += u" was expected";
  return Fail(member, DISP_E_TYPEMISMATCH, detail);
}

bool IsInteger(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

// The answer converted to vt (integers and reals only), or the failure.
HRESULT Convert(const HostMember& member, const VARIANT& answer, VARTYPE vt, VARIANT* out,
                const char16_t* expected) {
  bool accepted = IsInteger(answer.vt) || answer.vt == VT_BOOL ||
                  (vt == VT_R8 && (answer.vt == VT_R8 || answer.vt == VT_R4));
  if (!accepted) return Mismatch(member, answer, expected);
  HRESULT hr = VariantChangeType(out, &answer, 0, vt);
  if (FAILED(hr)) return Fail(member, hr, u"the host's answer does not fit");
  return S_OK;
}

// One element of an array of VARIANTs as an element of type vt, written
// into the array at index.
HRESULT PutElement(const HostMember& member, SAFEARRAY* array, LONG index, VARTYPE vt,
                   VARIANT& element) {
  const char16_t* expected = u"an array element of the promised type";
  switch (vt) {
    case VT_BSTR: {
      if (element.vt == VT_EMPTY || element.vt == VT_NULL) return S_OK;
      if (element.vt != VT_BSTR) return Mismatch(member, element, expected);
      return SafeArrayPutElement(array, &index, element.bstrVal);
    }
    case VT_DISPATCH: {
      ComPtr<IDispatch> object;
      HRESULT hr = TakeAnswer(member, element, &object);
      if (FAILED(hr)) return hr;
      return SafeArrayPutElement(array, &index, object.Get());
    }
    case VT_BOOL: {
      VARIANT_BOOL value = VARIANT_FALSE;
      HRESULT hr = TakeAnswer(member, element, &value);
      if (FAILED(hr)) return hr;
      return SafeArrayPutElement(array, &index, &value);
    }
    default: {
      ScopedVariant converted;
      HRESULT hr = Convert(member, element, vt, converted.Get(), expected);
      if (FAILED(hr)) return hr;
      return SafeArrayPutElement(array, &index, &converted.Get()->llVal);
    }
  }
}

// A copy of a one-dimensional array as a vector of vt with lower bound 0.
HRESULT Repack(const HostMember& member, SAFEARRAY* source, VARTYPE vt, ScopedSafeArray* out) {
  LONG lower = 0;
  LONG upper = -1;
  if (SafeArrayGetDim(source) != 1 || FAILED(SafeArrayGetLBound(source, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(source, 1, &upper))) {
    return Fail(member, DISP_E_TYPEMISMATCH, u"the host answered an array of another shape");
  }
  VARTYPE sourceType = VT_EMPTY;
  SafeArrayGetVartype(source, &sourceType);
  ScopedSafeArray result(SafeArrayCreateVector(vt, 0, static_cast<ULONG>(upper - lower + 1)));
  if (!result.Get()) return Fail(member, E_OUTOFMEMORY, u"no memory for the answer");
  for (LONG i = lower; i <= upper; ++i) {
    ScopedVariant element;
    LONG index = i;
    HRESULT hr = S_OK;
    if (sourceType == VT_VARIANT) {
      hr = SafeArrayGetElement(source, &index, element.Get());
    } else {
      element.Get()->vt = sourceType;
      hr = SafeArrayGetElement(source, &index, &element.Get()->llVal);
      if (FAILED(hr)) element.Get()->vt = VT_EMPTY;
    }
    if (SUCCEEDED(hr)) hr = PutElement(member, result.Get(), i - lower, vt, *element.Get());
    if (FAILED(hr)) return hr;
  }
  *out = std::move(result);
  return S_OK;
}

}  // namespace

HostArg HostArg::Long(LONG value) {
  HostArg arg;
  arg.value_.vt = VT_I4;
  arg.value_.lVal = value;
  return arg;
}

HostArg HostArg::LongLong(LONGLONG value) {
  HostArg arg;
  arg.value_.vt = VT_I8;
  arg.value_.llVal = value;
  return arg;
}

HostArg HostArg::Double(double value) {
  HostArg arg;
  arg.value_.vt = VT_R8;
  arg.value_.dblVal = value;
  return arg;
}

HostArg HostArg::Bool(bool value) {
  HostArg arg;
  arg.value_.vt = VT_BOOL;
  arg.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return arg;
}

HostArg HostArg::Text(BSTR text) {
  HostArg arg;
  arg.value_.vt = VT_BSTR;
  arg.value_.bstrVal = text;
  return arg;
}

HostArg HostArg::Object(IDispatch* object) {
  HostArg arg;
  arg.value_.vt = VT_DISPATCH;
  arg.value_.pdispVal = object;
  return arg;
}

HostArg HostArg::Value(const VARIANT& value) {
  HostArg arg;
  arg.value_ = value;
  return arg;
}

HostArg HostArg::OutLong(LONG* target) {
  HostArg arg;
  arg.value_.vt = VT_BYREF | VT_I4;
  arg.value_.plVal = target;
  return arg;
}

HostArg HostArg::OutDouble(double* target) {
  HostArg arg;
  arg.value_.vt = VT_BYREF | VT_R8;
  arg.value_.pdblVal = target;
  return arg;
}

HostArg HostArg::OutBool(VARIANT_BOOL* target) {
  HostArg arg;
  arg.value_.vt = VT_BYREF | VT_BOOL;
  arg.value_.pboolVal = target;
  return arg;
}

HostArg HostArg::OutText(BSTR* target) {
  HostArg arg;
  arg.value_.vt = VT_BYREF | VT_BSTR;
  arg.value_.pbstrVal = target;
  return arg;
}

HostArg HostArg::OutVariant(VARIANT* target) {
  HostArg arg;
  arg.value_.vt = VT_BYREF | VT_VARIANT;
  arg.value_.pvarVal = target;
  return arg;
}

HRESULT HostMember::DispId(IDispatch* object, DISPID* dispid) {
  DISPID known = dispid_.load(std::memory_order_relaxed);
  if (known != kUnresolved) {
    *dispid = known;
    return S_OK;
  }
  LPOLESTR names[] = {const_cast<LPOLESTR>(name_)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, dispid);
  if (SUCCEEDED(hr)) dispid_.store(*dispid, std::memory_order_relaxed);
  return hr;
}

HRESULT CallHost(IDispatch* object, HostMember& member, CallKind kind,
                 std::initializer_list<HostArg> args, VARIANT* answer) {
  if (answer) VariantClear(answer);
  // The recorded failure is always the latest call's.
  ClearHostFailure();
  if (!object) return Fail(member, E_POINTER, u"no host object to call");
  if (args.size() > kMaxArguments) return Fail(member, E_INVALIDARG, u"too many arguments");
  DISPID dispid = DISPID_UNKNOWN;
  HRESULT hr = member.DispId(object, &dispid);
  if (FAILED(hr)) return Fail(member, hr, InvokeFailureText(hr, 0, 0));

  // Positional arguments go in reverse order; they are borrowed, not copied.
  VARIANT reversed[kMaxArguments];
  size_t count = 0;
  for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed[count++] = it->variant();
  DISPID putId = DISPID_PROPERTYPUT;
  const bool put = kind == CallKind::kPut;
  DISPPARAMS params{reversed, put ? &putId : nullptr, static_cast<UINT>(count), put ? 1u : 0u};
  // A method is asked for as a method or a property get, so that a host
  // that publishes it as a read-only property answers as well.
  WORD flags = kind == CallKind::kMethod ? WORD(DISPATCH_METHOD | DISPATCH_PROPERTYGET)
                                         : static_cast<WORD>(kind);
  ScopedVariant unused;
  VARIANT* result = put ? nullptr : (answer ? answer : unused.Get());
  EXCEPINFO exception{};
  UINT argErr = static_cast<UINT>(-1);

  if (HostTraceOn()) {
    auto start = std::chrono::steady_clock::now();
    hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception,
                        &argErr);
    auto spent = std::chrono::steady_clock::now() - start;
    TraceHostCall(member, kind, static_cast<unsigned>(count), hr,
                  std::chrono::duration_cast<std::chrono::microseconds>(spent).count());
  } else {
    hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception,
                        &argErr);
  }
  if (hr == DISP_E_EXCEPTION) {
    HRESULT code = ExceptionCode(exception);
    std::u16string text = TakeExceptionText(exception);
    if (answer) VariantClear(answer);
    return Fail(member, code, text);
  }
  if (FAILED(hr)) {
    if (answer) VariantClear(answer);
    return Fail(member, hr, InvokeFailureText(hr, argErr, count));
  }
  return hr;
}

HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, LONG* out) {
  *out = 0;
  ScopedVariant owned;
  *owned.Get() = std::exchange(answer, VARIANT{});
  ScopedVariant converted;
  HRESULT hr = Convert(member, *owned.Get(), VT_I4, converted.Get(), u"a number");
  if (SUCCEEDED(hr)) *out = converted.Get()->lVal;
  return hr;
}

HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, double* out) {
  *out = 0;
  ScopedVariant owned;
  *owned.Get() = std::exchange(answer, VARIANT{});
  ScopedVariant converted;
  HRESULT hr = Convert(member, *owned.Get(), VT_R8, converted.Get(), u"a number");
  if (SUCCEEDED(hr)) *out = converted.Get()->dblVal;
  return hr;
}

HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, VARIANT_BOOL* out) {
  *out = VARIANT_FALSE;
  ScopedVariant owned;
  *owned.Get() = std::exchange(answer, VARIANT{});
  const VARIANT& value = *owned.Get();
  if (value.vt == VT_BOOL) {
    *out = value.boolVal ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  ScopedVariant converted;
  HRESULT hr = Convert(member, value, VT_I4, converted.Get(), u"a boolean");
  if (SUCCEEDED(hr)) *out = converted.Get()->lVal ? VARIANT_TRUE : VARIANT_FALSE;
  return hr;
}

HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, BSTR* out) {
  *out = nullptr;
  ScopedVariant owned;
  *owned.Get() = std::exchange(answer, VARIANT{});
  if (owned.Type() != VT_BSTR) return Mismatch(member, *owned.Get(), u"a text");
  *out = std::exchange(owned.Get()->bstrVal, nullptr);
  return S_OK;
}

HRESULT TakeAnswer(const HostMember& member, VARIANT& answer, ComPtr<IDispatch>* out) {
  *out = nullptr;
  ScopedVariant owned;
  *owned.Get() = std::exchange(answer, VARIANT{});
  VARIANT& value = *owned.Get();
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return S_OK;
    case VT_DISPATCH:
      out->Attach(std::exchange(value.pdispVal, nullptr));
      return S_OK;
    case VT_UNKNOWN: {
      if (!value.punkVal) return S_OK;
      HRESULT hr = ComPtr<IUnknown>(value.punkVal).As(out);
      return FAILED(hr) ? Fail(member, hr, u"the host's object has no IDispatch") : S_OK;
    }
    default:
      return Mismatch(member, value, u"an object");
  }
}

HRESULT TakeArray(const HostMember& member, VARIANT& answer, VARTYPE elementType,
                  ScopedSafeArray* out) {
  out->Reset();
  ScopedVariant owned;
  *owned.Get() = std::exchange(answer, VARIANT{});
  VARIANT& value = *owned.Get();
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
    out->Reset(SafeArrayCreateVector(elementType, 0, 0));
    return out->Get() ? S_OK : Fail(member, E_OUTOFMEMORY, u"no memory for the answer");
  }
  VARTYPE arrayType = static_cast<VARTYPE>(value.vt & ~VT_ARRAY);
  if (!(value.vt & VT_ARRAY) || (arrayType != elementType && arrayType != VT_VARIANT)) {
    return Mismatch(member, value, u"an array");
  }
  if (!value.parray) {
    out->Reset(SafeArrayCreateVector(elementType, 0, 0));
    return out->Get() ? S_OK : Fail(member, E_OUTOFMEMORY, u"no memory for the answer");
  }
  LONG lower = 0;
  // Booleans are normalised element by element: a host may write true as 1.
  if (arrayType == elementType && elementType != VT_BOOL && SafeArrayGetDim(value.parray) == 1 &&
      SUCCEEDED(SafeArrayGetLBound(value.parray, 1, &lower)) && lower == 0) {
    out->Reset(std::exchange(value.parray, nullptr));
    return S_OK;
  }
  return Repack(member, value.parray, elementType, out);
}

HRESULT LateObject::MethodArray(HostMember& member, VARTYPE elementType, ScopedSafeArray* out,
                                std::initializer_list<HostArg> args) const {
  ScopedVariant answer;
  HRESULT hr = CallHost(object_.Get(), member, CallKind::kMethod, args, answer.Receive());
  if (FAILED(hr)) {
    out->Reset();
    return hr;
  }
  return TakeArray(member, *answer.Get(), elementType, out);
}

HRESULT LateObject::Call(HostMember& member, std::initializer_list<HostArg> args) const {
  return CallHost(object_.Get(), member, CallKind::kMethod, args, nullptr);
}

HRESULT LateObject::Put(HostMember& member, std::initializer_list<HostArg> args) const {
  return CallHost(object_.Get(), member, CallKind::kPut, args, nullptr);
}

}  // namespace published
