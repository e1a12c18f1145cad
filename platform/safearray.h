// One-dimensional SAFEARRAYs of the OLE Automation element types, with the
// Windows functions of the same names and an owning wrapper.
#pragma once

#include "platform/variant.h"

struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
};

struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  PVOID pvData;
  SAFEARRAYBOUND rgsabound[1];
};

// Element types: VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT,
// VT_I8, VT_UI8, VT_R4, VT_R8, VT_BOOL, VT_ERROR, VT_BSTR, VT_VARIANT,
// VT_UNKNOWN, VT_DISPATCH. Elements start zeroed (empty strings are null).
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
// Frees the elements and the array; DISP_E_ARRAYISLOCKED while accessed.
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound);
// Copies the element out (a new BSTR, an AddRef'd interface, a variant copy).
HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value);
// Copies the value in, freeing the element it replaces.
HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);

// Owns one SAFEARRAY; destroys it on destruction. Move-only.
class ScopedSafeArray {
 public:
  ScopedSafeArray() = default;
  explicit ScopedSafeArray(SAFEARRAY* array) : array_(array) {}
  ScopedSafeArray(const ScopedSafeArray&) = delete;
  ScopedSafeArray& operator=(const ScopedSafeArray&) = delete;
  ScopedSafeArray(ScopedSafeArray&& other) noexcept : array_(other.Release()) {}
  ScopedSafeArray& operator=(ScopedSafeArray&& other) noexcept;
  ~ScopedSafeArray() { Reset(); }

  void Reset(SAFEARRAY* array = nullptr);
  SAFEARRAY* Release();
  SAFEARRAY* Get() const { return array_; }
  // Destroys what is held and returns the address for an out-parameter.
  SAFEARRAY** Receive();
  // Number of elements of a one-dimensional array; 0 when none is held.
  LONG Count() const;
  LONG LowerBound() const;

 private:
  SAFEARRAY* array_ = nullptr;
};
