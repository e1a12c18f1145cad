// SAFEARRAYs through the system's functions, so that arrays cross module
// boundaries with one owner's rules.
#include "platform/safearray.h"

#include <cstddef>

#include "platform/win/layout.h"
#include "platform/win/sdk.h"

static_assert(sizeof(SAFEARRAY) == platform::layout::kSafeArraySize);
static_assert(offsetof(SAFEARRAY, pvData) == platform::layout::kSafeArrayDataOffset);
static_assert(offsetof(SAFEARRAY, rgsabound) == platform::layout::kSafeArrayBoundOffset);

namespace sdk = platform::sdk;

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds) {
  return static_cast<SAFEARRAY*>(sdk::SafeArrayCreate(vt, dims, bounds));
}
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  return static_cast<SAFEARRAY*>(sdk::SafeArrayCreateVector(vt, lowerBound, elements));
}
HRESULT SafeArrayDestroy(SAFEARRAY* array) { return sdk::SafeArrayDestroy(array); }
HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
  return sdk::SafeArrayCopy(source, reinterpret_cast<void**>(copy));
}
UINT SafeArrayGetDim(SAFEARRAY* array) { return sdk::SafeArrayGetDim(array); }
UINT SafeArrayGetElemsize(SAFEARRAY* array) { return sdk::SafeArrayGetElemsize(array); }
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  return sdk::SafeArrayGetVartype(array, vt);
}
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  return sdk::SafeArrayGetLBound(array, dim, bound);
}
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  return sdk::SafeArrayGetUBound(array, dim, bound);
}
HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value) {
  return sdk::SafeArrayGetElement(array, indices, value);
}
HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value) {
  return sdk::SafeArrayPutElement(array, indices, value);
}
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  return sdk::SafeArrayAccessData(array, data);
}
HRESULT SafeArrayUnaccessData(SAFEARRAY* array) { return sdk::SafeArrayUnaccessData(array); }
