#include "tools/automation/dispatch_call.h"

#include <vector>

#include "platform/com_ptr.h"

namespace automation {

Arg::Arg() { VariantInit(&value_); }

Arg::Arg(LONG value) : Arg() {
  value_.vt = VT_I4;
  value_.lVal = value;
}

Arg::Arg(const char16_t* text) : Arg() {
  value_.vt = VT_BSTR;
  value_.bstrVal = SysAllocString(text);
}

Arg::Arg(std::u16string_view text) : Arg() {
  value_.vt = VT_BSTR;
  value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

Arg::Arg(const Arg& other) : Arg() { VariantCopy(&value_, &other.value_); }

Arg::~Arg() { VariantClear(&value_); }

Arg Arg::Unknown(IUnknown* object) {
  Arg arg;
  arg.value_.vt = VT_UNKNOWN;
  arg.value_.punkVal = ComPtr<IUnknown>(object).Detach();
  return arg;
}

Arg Arg::Dispatch(IDispatch* object) {
  Arg arg;
  arg.value_.vt = VT_DISPATCH;
  arg.value_.pdispVal = ComPtr<IDispatch>(object).Detach();
  return arg;
}

Arg Arg::Empty() { return Arg(); }

Arg Arg::Null() {
  Arg arg;
  arg.value_.vt = VT_NULL;
  return arg;
}

Arg Arg::Double(double value) {
  Arg arg;
  arg.value_.vt = VT_R8;
  arg.value_.dblVal = value;
  return arg;
}

Arg Arg::LongRef(LONG* target) {
  Arg arg;
  arg.value_.vt = VT_I4 | VT_BYREF;
  arg.value_.plVal = target;
  return arg;
}

Arg Arg::LongLongRef(LONGLONG* target) {
  Arg arg;
  arg.value_.vt = VT_I8 | VT_BYREF;
  arg.value_.pllVal = target;
  return arg;
}

Arg Arg::BstrRef(BSTR* target) {
  Arg arg;
  arg.value_.vt = VT_BSTR | VT_BYREF;
  arg.value_.pbstrVal = target;
  return arg;
}

Arg Arg::VariantRef(VARIANT* target) {
  Arg arg;
  arg.value_.vt = VT_VARIANT | VT_BYREF;
  arg.value_.pvarVal = target;
  return arg;
}

DISPID DispIdOf(IDispatch* object, std::u16string_view name) {
  std::u16string text(name);
  LPOLESTR names[] = {text.data()};
  DISPID dispid = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid))) {
    return DISPID_UNKNOWN;
  }
  return dispid;
}

HRESULT Invoke(IDispatch* object, DISPID dispid, WORD flags, std::initializer_list<Arg> args,
               VARIANT* result, CallDetails* details) {
  // Shallow copies in reverse order: the Args keep owning the values.
  std::vector<VARIANT> reversed;
  for (const Arg& arg : args) reversed.insert(reversed.begin(), arg.value());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO excepInfo{};
  UINT argErr = static_cast<UINT>(-1);
  HRESULT hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                              &excepInfo, &argErr);
  if (details) {
    details->argErr = argErr;
    details->scode = excepInfo.scode;
    details->source = std::u16string(BstrView(excepInfo.bstrSource));
    details->description = std::u16string(BstrView(excepInfo.bstrDescription));
  }
  SysFreeString(excepInfo.bstrSource);
  SysFreeString(excepInfo.bstrDescription);
  SysFreeString(excepInfo.bstrHelpFile);
  return hr;
}

HRESULT Call(IDispatch* object, std::u16string_view name, std::initializer_list<Arg> args,
             VARIANT* result, CallDetails* details) {
  std::u16string text(name);
  LPOLESTR names[] = {text.data()};
  DISPID dispid = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
  if (FAILED(hr)) return hr;
  return Invoke(object, dispid, DISPATCH_METHOD, args, result, details);
}

HRESULT CallMember(IDispatch* object, std::u16string_view name, std::initializer_list<Arg> args,
                   VARIANT* result, CallDetails* details) {
  CallDetails own;
  CallDetails& used = details ? *details : own;
  HRESULT hr = Call(object, name, args, result, &used);
  return hr == DISP_E_EXCEPTION ? used.scode : hr;
}

HRESULT GetProperty(IDispatch* object, std::u16string_view name, VARIANT* result) {
  DISPID dispid = DispIdOf(object, name);
  if (dispid == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
  return Invoke(object, dispid, DISPATCH_PROPERTYGET, {}, result);
}

LONG LongProperty(IDispatch* object, std::u16string_view name) {
  ScopedVariant value;
  if (FAILED(GetProperty(object, name, value.Receive())) || value.Type() != VT_I4) return -12345;
  return value.Get()->lVal;
}

std::u16string TextProperty(IDispatch* object, std::u16string_view name) {
  ScopedVariant value;
  if (FAILED(GetProperty(object, name, value.Receive())) || value.Type() != VT_BSTR) {
    return u"<failed>";
  }
  return std::u16string(BstrView(value.Get()->bstrVal));
}

}  // namespace automation
