#include "platform/variant.h"

#include <cmath>
#include <limits>
#include <string>

#include "platform/format.h"
#include "platform/safearray.h"
#include "platform/text.h"
#include "platform/unknown.h"

void VariantInit(VARIANT* v) {
  v->vt = VT_EMPTY;
  v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
  v->llVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_INVALIDARG;
  if (!(v->vt & VT_BYREF)) {
    if (v->vt & VT_ARRAY) {
      if (v->parray) {
        HRESULT hr = SafeArrayDestroy(v->parray);
        if (FAILED(hr)) return hr;
      }
    } else if (v->vt == VT_BSTR) {
      SysFreeString(v->bstrVal);
    } else if ((v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) && v->punkVal) {
      if (v->vt == VT_DISPATCH) {
        v->pdispVal->Release();
      } else {
        v->punkVal->Release();
      }
    }
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (dest == src) return S_OK;
  HRESULT hr = VariantClear(dest);
  if (FAILED(hr)) return hr;
  VARIANT copy = *src;
  if (!(src->vt & VT_BYREF)) {
    if (src->vt & VT_ARRAY) {
      copy.parray = nullptr;
      if (src->parray) {
        hr = SafeArrayCopy(src->parray, &copy.parray);
        if (FAILED(hr)) return hr;
      }
    } else if (src->vt == VT_BSTR && src->bstrVal) {
      copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
      if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if (src->vt == VT_DISPATCH && src->pdispVal) {
      src->pdispVal->AddRef();
    } else if (src->vt == VT_UNKNOWN && src->punkVal) {
      src->punkVal->AddRef();
    }
  }
  *dest = copy;
  return S_OK;
}

namespace {

// A scalar value read from any of the convertible variant types.
struct Scalar {
  enum class Kind { kInteger, kReal, kText, kNone } kind = Kind::kNone;
  int64_t integer = 0;
  double real = 0;
  std::u16string text;
};

Scalar ReadScalar(const VARIANT& v) {
  Scalar s;
  bool ref = (v.vt & VT_BYREF) != 0;
  auto integer = [&s](int64_t value) {
    s.kind = Scalar::Kind::kInteger;
    s.integer = value;
  };
  switch (v.vt & ~VT_BYREF) {
    case VT_EMPTY:
      integer(0);
      break;
    case VT_I1:
      integer(ref ? *reinterpret_cast<const signed char*>(v.byref) : v.cVal);
      break;
    case VT_UI1:
      integer(ref ? *v.pbVal : v.bVal);
      break;
    case VT_I2:
      integer(ref ? *v.piVal : v.iVal);
      break;
    case VT_UI2:
      integer(ref ? *reinterpret_cast<const USHORT*>(v.byref) : v.uiVal);
      break;
    case VT_BOOL:
      integer(ref ? *v.pboolVal : v.boolVal);
      break;
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
      integer(ref ? *v.plVal : v.lVal);
      break;
    case VT_UI4:
    case VT_UINT:
      integer(ref ? *reinterpret_cast<const ULONG*>(v.byref) : v.ulVal);
      break;
    case VT_I8:
      integer(ref ? *v.pllVal : v.llVal);
      break;
    case VT_UI8:
      integer(static_cast<int64_t>(ref ? *reinterpret_cast<const ULONGLONG*>(v.byref) : v.ullVal));
      break;
    case VT_R4:
      s.kind = Scalar::Kind::kReal;
      s.real = ref ? *reinterpret_cast<const FLOAT*>(v.byref) : v.fltVal;
      break;
    case VT_R8:
    case VT_DATE:
      s.kind = Scalar::Kind::kReal;
      s.real = ref ? *v.pdblVal : v.dblVal;
      break;
    case VT_BSTR:
      s.kind = Scalar::Kind::kText;
      s.text = BstrView(ref ? *v.pbstrVal : v.bstrVal);
      break;
    default:
      break;
  }
  return s;
}

// Parses a whole decimal number (blanks around it allowed).
bool ParseNumber(const std::u16string& text, double* out) {
  std::string narrow = platform::Utf16ToUtf8(text);
  size_t start = narrow.find_first_not_of(" \t");
  if (start == std::string::npos) return false;
  size_t used = 0;
  try {
    *out = std::stod(narrow.substr(start), &used);
  } catch (...) {
    return false;
  }
  return narrow.find_first_not_of(" \t", start + used) == std::string::npos;
}

HRESULT ToReal(const Scalar& s, double* out) {
  switch (s.kind) {
    case Scalar::Kind::kInteger:
      *out = static_cast<double>(s.integer);
      return S_OK;
    case Scalar::Kind::kReal:
      *out = s.real;
      return S_OK;
    case Scalar::Kind::kText:
      return ParseNumber(s.text, out) ? S_OK : DISP_E_TYPEMISMATCH;
    case Scalar::Kind::kNone:
      break;
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT ToInteger(const Scalar& s, int64_t min, int64_t max, int64_t* out) {
  if (s.kind == Scalar::Kind::kInteger) {
    *out = s.integer;
  } else {
    double real = 0;
    HRESULT hr = ToReal(s, &real);
    if (FAILED(hr)) return hr;
    if (!(real >= -9.2e18 && real <= 9.2e18)) return DISP_E_OVERFLOW;
    *out = static_cast<int64_t>(std::nearbyint(real));
  }
  return (*out < min || *out > max) ? DISP_E_OVERFLOW : S_OK;
}

HRESULT ToText(const Scalar& s, std::u16string* out) {
  switch (s.kind) {
    case Scalar::Kind::kInteger:
      *out = platform::FormatWide(platform::kUnlimited, u"%lld", s.integer);
      return S_OK;
    case Scalar::Kind::kReal:
      *out = platform::FormatWide(platform::kUnlimited, u"%.15g", s.real);
      return S_OK;
    case Scalar::Kind::kText:
      *out = s.text;
      return S_OK;
    case Scalar::Kind::kNone:
      break;
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT Convert(const Scalar& s, VARTYPE vt, VARIANT* out) {
  int64_t i = 0;
  HRESULT hr = S_OK;
  out->vt = vt;
  switch (vt) {
    case VT_I2:
      hr = ToInteger(s, INT16_MIN, INT16_MAX, &i);
      out->iVal = static_cast<SHORT>(i);
      break;
    case VT_UI1:
      hr = ToInteger(s, 0, UINT8_MAX, &i);
      out->bVal = static_cast<BYTE>(i);
      break;
    case VT_I4:
    case VT_INT:
      hr = ToInteger(s, INT32_MIN, INT32_MAX, &i);
      out->lVal = static_cast<LONG>(i);
      break;
    case VT_UI4:
    case VT_UINT:
      hr = ToInteger(s, 0, UINT32_MAX, &i);
      out->ulVal = static_cast<ULONG>(i);
      break;
    case VT_I8:
      hr = ToInteger(s, INT64_MIN, INT64_MAX, &i);
      out->llVal = i;
      break;
    case VT_BOOL:
      if (s.kind == Scalar::Kind::kText) {
        std::u16string lower = platform::AsciiLower(s.text);
        if (lower == u"true" || lower == u"#true#") {
          i = 1;
        } else if (lower == u"false" || lower == u"#false#") {
          i = 0;
        } else {
          hr = ToInteger(s, INT64_MIN, INT64_MAX, &i);
        }
      } else {
        hr = ToInteger(s, INT64_MIN, INT64_MAX, &i);
      }
      out->boolVal = i ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_R4: {
      double r = 0;
      hr = ToReal(s, &r);
      out->fltVal = static_cast<FLOAT>(r);
      break;
    }
    case VT_R8: {
      double r = 0;
      hr = ToReal(s, &r);
      out->dblVal = r;
      break;
    }
    case VT_BSTR: {
      std::u16string text;
      hr = ToText(s, &text);
      if (SUCCEEDED(hr)) {
        out->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!out->bstrVal) hr = E_OUTOFMEMORY;
      }
      break;
    }
    default:
      hr = DISP_E_BADVARTYPE;
      break;
  }
  if (FAILED(hr)) VariantInit(out);
  return hr;
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  if (vt == src->vt) return VariantCopy(dest, src);
  VARTYPE base = src->vt & ~VT_BYREF;
  if ((src->vt & VT_BYREF) && vt == base &&
      (base == VT_DISPATCH || base == VT_UNKNOWN || base == VT_VARIANT)) {
    if (base == VT_VARIANT) return VariantChangeType(dest, src->pvarVal, 0, vt);
    VARIANT deref;
    VariantInit(&deref);
    deref.vt = base;
    deref.punkVal = *src->ppunkVal;
    return VariantCopy(dest, &deref);
  }
  if (base == VT_VARIANT && (src->vt & VT_BYREF)) return VariantChangeType(dest, src->pvarVal, 0, vt);
  if ((vt == VT_DISPATCH || vt == VT_UNKNOWN) && (base == VT_DISPATCH || base == VT_UNKNOWN)) {
    IUnknown* unk = (src->vt & VT_BYREF) ? *src->ppunkVal : src->punkVal;
    VARIANT result;
    VariantInit(&result);
    result.vt = vt;
    if (unk) {
      HRESULT hr = unk->QueryInterface(vt == VT_DISPATCH ? IidOf<IDispatch>() : IidOf<IUnknown>(),
                                       reinterpret_cast<void**>(&result.punkVal));
      if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
  }
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = Convert(ReadScalar(*src), vt, &result);
  if (FAILED(hr)) return hr;
  VariantClear(dest);
  *dest = result;
  return S_OK;
}
