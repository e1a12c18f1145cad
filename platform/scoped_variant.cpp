// ScopedVariant: the same on every platform, over the VARIANT functions.
#include "platform/variant.h"

ScopedVariant::ScopedVariant(LONG value) {
  VariantInit(&var_);
  var_.vt = VT_I4;
  var_.lVal = value;
}

ScopedVariant::ScopedVariant(std::u16string_view text) {
  VariantInit(&var_);
  var_.vt = VT_BSTR;
  var_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

ScopedVariant& ScopedVariant::operator=(ScopedVariant&& other) noexcept {
  if (this != &other) {
    VariantClear(&var_);
    var_ = other.var_;
    VariantInit(&other.var_);
  }
  return *this;
}

VARIANT* ScopedVariant::Receive() {
  VariantClear(&var_);
  return &var_;
}
