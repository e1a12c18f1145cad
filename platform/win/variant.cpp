// VARIANTs through the system's functions: the same conversions and the same
// ownership rules as every other COM module.
#include "platform/variant.h"

#include <cstddef>

#include "platform/unknown.h"
#include "platform/win/layout.h"
#include "platform/win/sdk.h"

static_assert(sizeof(VARIANT) == platform::layout::kVariantSize);
static_assert(offsetof(VARIANT, bstrVal) == platform::layout::kVariantValueOffset);
static_assert(sizeof(DISPPARAMS) == platform::layout::kDispParamsSize);
static_assert(sizeof(EXCEPINFO) == platform::layout::kExcepInfoSize);
static_assert(offsetof(EXCEPINFO, scode) == platform::layout::kExcepInfoScodeOffset);
static_assert(sizeof(GUID) == platform::layout::kGuidSize);

void VariantInit(VARIANT* v) { platform::sdk::VariantInit(v); }

HRESULT VariantClear(VARIANT* v) { return platform::sdk::VariantClear(v); }

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  return platform::sdk::VariantCopy(dest, src);
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
  return platform::sdk::VariantChangeType(dest, src, flags, vt);
}
