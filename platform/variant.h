// VARIANT, the tagged value of OLE Automation, with the Windows helpers and
// an owning wrapper.
#pragma once

#include <string_view>

#include "platform/bstr.h"

struct IUnknown;
struct IDispatch;
struct SAFEARRAY;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    ULONGLONG ullVal;
    LONG lVal;
    ULONG ulVal;
    INT intVal;
    UINT uintVal;
    BYTE bVal;
    char cVal;
    SHORT iVal;
    USHORT uiVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    DATE date;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    DOUBLE* pdblVal;
    VARIANT_BOOL* pboolVal;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
    VARIANT* pvarVal;
    PVOID byref;
    // A user-defined record (VT_RECORD), which nothing here makes; it gives
    // the value its Windows size, so that arrays of arguments line up.
    struct {
      PVOID pvRecord;
      PVOID pRecInfo;
    } brecVal;
  };
};
using VARIANTARG = VARIANT;

void VariantInit(VARIANT* v);
// Frees what the variant owns (a BSTR, an interface reference, an array) and
// leaves it VT_EMPTY. By-reference variants own nothing.
HRESULT VariantClear(VARIANT* v);
// Deep copy: BSTRs and arrays are copied, interfaces get a reference.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts src (by-reference values followed) into dest, of type vt. Supports
// the integer, real, boolean and string types; DISP_E_TYPEMISMATCH or
// DISP_E_OVERFLOW otherwise.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

// Owns one VARIANT; clears it on destruction. Move-only.
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&var_); }
  explicit ScopedVariant(LONG value);
  explicit ScopedVariant(std::u16string_view text);
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  // Takes over the other's value, leaving it VT_EMPTY.
  ScopedVariant(ScopedVariant&& other) noexcept : var_(other.var_) { VariantInit(&other.var_); }
  ScopedVariant& operator=(ScopedVariant&& other) noexcept;
  ~ScopedVariant() { VariantClear(&var_); }

  VARIANT* Get() { return &var_; }
  const VARIANT* Get() const { return &var_; }
  // Clears the held value and returns the address for an out-parameter.
  VARIANT* Receive();
  VARTYPE Type() const { return var_.vt; }

 private:
  VARIANT var_;
};
