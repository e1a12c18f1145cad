#include "addin/dispatch_table.h"

#include "platform/error_info.h"

namespace harbolt {

HRESULT InvokeCall::Mismatch(UINT index) const {
  if (argErr_) *argErr_ = params_.cArgs - 1 - index;
  return DISP_E_TYPEMISMATCH;
}

HRESULT InvokeCall::MemberResult(HRESULT status) const {
  if (SUCCEEDED(status)) return status;
  if (excepInfo_) {
    *excepInfo_ = EXCEPINFO{};
    excepInfo_->scode = status;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) == S_OK && info) {
      info->GetSource(&excepInfo_->bstrSource);
      info->GetDescription(&excepInfo_->bstrDescription);
      info->GetHelpFile(&excepInfo_->bstrHelpFile);
      info->GetHelpContext(&excepInfo_->dwHelpContext);
    }
  }
  return DISP_E_EXCEPTION;
}

namespace dispatch_internal {
namespace {

// Follows VT_VARIANT | VT_BYREF to the variant it refers to.
const VARIANT* Referenced(const VARIANT* v) {
  while (v && v->vt == (VT_VARIANT | VT_BYREF)) v = v->pvarVal;
  return v;
}

// Coerces the argument to vt into converted; DISP_E_TYPEMISMATCH (with the
// argument recorded) when it does not convert.
HRESULT Coerce(const InvokeCall& call, UINT index, VARTYPE vt, VARIANT* converted) {
  const VARIANT* arg = Referenced(call.Argument(index));
  if (!arg || FAILED(VariantChangeType(converted, arg, 0, vt))) return call.Mismatch(index);
  return S_OK;
}

}  // namespace

HRESULT TextIn::Load(const InvokeCall& call, UINT index) {
  const VARIANT* arg = Referenced(call.Argument(index));
  // The caller's own text is passed as it is, a null BSTR included.
  if (arg && arg->vt == VT_BSTR) {
    value_ = arg->bstrVal;
    return S_OK;
  }
  if (arg && arg->vt == (VT_BSTR | VT_BYREF) && arg->pbstrVal) {
    value_ = *arg->pbstrVal;
    return S_OK;
  }
  HRESULT hr = Coerce(call, index, VT_BSTR, converted_.Receive());
  if (SUCCEEDED(hr)) value_ = converted_.Get()->bstrVal;
  return hr;
}

HRESULT TextRefIn::Load(const InvokeCall& call, UINT index) {
  VARIANT* arg = call.Argument(index);
  while (arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal) arg = arg->pvarVal;
  if (arg->vt == (VT_BSTR | VT_BYREF) && arg->pbstrVal) {
    value_ = arg->pbstrVal;
    return S_OK;
  }
  if (arg->vt == VT_BSTR) {
    value_ = &arg->bstrVal;
    return S_OK;
  }
  HRESULT hr = Coerce(call, index, VT_BSTR, converted_.Receive());
  if (SUCCEEDED(hr)) value_ = &converted_.Get()->bstrVal;
  return hr;
}

HRESULT LongIn::Load(const InvokeCall& call, UINT index) {
  ScopedVariant converted;
  HRESULT hr = Coerce(call, index, VT_I4, converted.Receive());
  if (SUCCEEDED(hr)) value_ = converted.Get()->lVal;
  return hr;
}

HRESULT ULongIn::Load(const InvokeCall& call, UINT index) {
  ScopedVariant converted;
  HRESULT hr = Coerce(call, index, VT_UI4, converted.Receive());
  if (SUCCEEDED(hr)) value_ = converted.Get()->ulVal;
  return hr;
}

HRESULT UnknownIn::Load(const InvokeCall& call, UINT index) {
  const VARIANT* arg = Referenced(call.Argument(index));
  switch (arg ? arg->vt : static_cast<VARTYPE>(VT_ERROR)) {
    case VT_EMPTY:
    case VT_NULL:
      return S_OK;
    case VT_UNKNOWN:
      value_ = ComPtr<IUnknown>(arg->punkVal);
      return S_OK;
    case VT_DISPATCH:
      value_ = ComPtr<IUnknown>(arg->pdispVal);
      return S_OK;
    case VT_UNKNOWN | VT_BYREF:
      if (!arg->ppunkVal) break;
      value_ = ComPtr<IUnknown>(*arg->ppunkVal);
      return S_OK;
    case VT_DISPATCH | VT_BYREF:
      if (!arg->ppdispVal) break;
      value_ = ComPtr<IUnknown>(*arg->ppdispVal);
      return S_OK;
    default:
      break;
  }
  return call.Mismatch(index);
}

HRESULT DispatchIn::Load(const InvokeCall& call, UINT index) {
  const VARIANT* arg = Referenced(call.Argument(index));
  IUnknown* object = nullptr;
  switch (arg ? arg->vt : static_cast<VARTYPE>(VT_ERROR)) {
    case VT_EMPTY:
    case VT_NULL:
      return S_OK;
    case VT_DISPATCH:
      value_ = ComPtr<IDispatch>(arg->pdispVal);
      return S_OK;
    case VT_DISPATCH | VT_BYREF:
      if (!arg->ppdispVal) return call.Mismatch(index);
      value_ = ComPtr<IDispatch>(*arg->ppdispVal);
      return S_OK;
    case VT_UNKNOWN:
      object = arg->punkVal;
      break;
    case VT_UNKNOWN | VT_BYREF:
      object = arg->ppunkVal ? *arg->ppunkVal : nullptr;
      break;
    default:
      return call.Mismatch(index);
  }
  // An object handed over as IUnknown must have IDispatch to be one.
  if (!object) return S_OK;
  if (FAILED(ComPtr<IUnknown>(object).As(&value_))) return call.Mismatch(index);
  return S_OK;
}

HRESULT CheckCall(bool found, WORD memberKind, REFIID riid, WORD flags, const DISPPARAMS* params) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!found || (flags & memberKind) == 0) return DISP_E_MEMBERNOTFOUND;
  if (params && params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params && params->cArgs != 0 && !params->rgvarg) return E_INVALIDARG;
  return S_OK;
}

}  // namespace dispatch_internal
}  // namespace harbolt
