#include "addin/event_args.h"

#include "platform/variant.h"

namespace harbolt {

const VARIANT* EventArgs::At(UINT index) const {
  if (index >= count() || !params_->rgvarg) return nullptr;
  const VARIANT* v = &params_->rgvarg[params_->cArgs - 1 - index];
  while (v && v->vt == (VT_VARIANT | VT_BYREF)) v = v->pvarVal;
  return v;
}

std::u16string EventArgs::Text(UINT index) const {
  const VARIANT* v = At(index);
  if (!v) return {};
  if (v->vt == VT_BSTR) return std::u16string(BstrView(v->bstrVal));
  ScopedVariant text;
  if (FAILED(VariantChangeType(text.Receive(), v, 0, VT_BSTR))) return {};
  return std::u16string(BstrView(text.Get()->bstrVal));
}

LONG EventArgs::Long(UINT index) const {
  const VARIANT* v = At(index);
  if (!v) return 0;
  ScopedVariant number;
  if (FAILED(VariantChangeType(number.Receive(), v, 0, VT_I4))) return 0;
  return number.Get()->lVal;
}

IUnknown* EventArgs::Object(UINT index) const {
  const VARIANT* v = At(index);
  if (!v) return nullptr;
  switch (v->vt) {
    case VT_UNKNOWN:
      return v->punkVal;
    case VT_DISPATCH:
      return v->pdispVal;
    case VT_UNKNOWN | VT_BYREF:
      return v->ppunkVal ? *v->ppunkVal : nullptr;
    case VT_DISPATCH | VT_BYREF:
      return v->ppdispVal ? *v->ppdispVal : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace harbolt
