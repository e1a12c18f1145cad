#include "sim/variant_values.h"

#include <new>

#include "platform/safearray.h"
#include "platform/unknown.h"

namespace sim {
namespace {

// What an element of a typed array is written from: the BSTR or interface
// itself, or the address of the number.
void* ElementOf(VARIANT& item) {
  switch (item.vt) {
    case VT_BSTR:
      return item.bstrVal;
    case VT_DISPATCH:
      return item.pdispVal;
    case VT_EMPTY:
    case VT_NULL:
      return nullptr;
    default:
      return &item.llVal;
  }
}

template <typename T>
void WriteList(VARIANT* out, const std::vector<T>& values, VARTYPE elementType,
               const AnswerStyle& style) {
  if (values.empty()) return;
  bool variants = style.lists == AnswerStyle::Lists::kVariants;
  VARTYPE element = variants ? VARTYPE{VT_VARIANT} : elementType;
  ScopedSafeArray array(SafeArrayCreateVector(element, 0, static_cast<ULONG>(values.size())));
  if (!array.Get()) throw std::bad_alloc();
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
    ScopedVariant item;
    WriteValue(item.Get(), T(values[static_cast<size_t>(i)]), style);
    void* value = variants ? item.Get() : ElementOf(*item.Get());
    if (FAILED(SafeArrayPutElement(array.Get(), &i, value))) throw std::bad_alloc();
  }
  out->vt = VT_ARRAY | element;
  out->parray = array.Release();
}

// The array a value holds and the type of its elements; null for anything
// else.
SAFEARRAY* ArrayOf(const VARIANT& value, VARTYPE* elementType) {
  const VARIANT* held = &value;
  if (held->vt == (VT_BYREF | VT_VARIANT)) held = held->pvarVal;
  if (!held || !(held->vt & VT_ARRAY)) return nullptr;
  *elementType = held->vt & VT_TYPEMASK;
  SAFEARRAY* array =
      (held->vt & VT_BYREF) ? (held->pparray ? *held->pparray : nullptr) : held->parray;
  return array && SafeArrayGetDim(array) == 1 ? array : nullptr;
}

// The elements of an array of type or of VARIANTs holding type, each as a
// VARIANT of that type.
std::optional<std::vector<ScopedVariant>> ReadElements(const VARIANT& value, VARTYPE type) {
  VARTYPE element = VT_EMPTY;
  SAFEARRAY* array = ArrayOf(value, &element);
  if (!array || (element != type && element != VT_VARIANT)) return std::nullopt;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  std::vector<ScopedVariant> items;
  for (LONG i = lower; i <= upper; ++i) {
    ScopedVariant& item = items.emplace_back();
    void* into = element == VT_VARIANT ? static_cast<void*>(item.Get())
                                       : static_cast<void*>(&item.Get()->llVal);
    if (FAILED(SafeArrayGetElement(array, &i, into))) return std::nullopt;
    if (element != VT_VARIANT) item.Get()->vt = type;
    if (item.Type() != type) return std::nullopt;
  }
  return items;
}

}  // namespace

void WriteValue(VARIANT* out, LONG value, const AnswerStyle&) {
  out->vt = VT_I4;
  out->lVal = value;
}

void WriteValue(VARIANT* out, double value, const AnswerStyle&) {
  out->vt = VT_R8;
  out->dblVal = value;
}

void WriteValue(VARIANT* out, bool value, const AnswerStyle& style) {
  out->vt = VT_BOOL;
  out->boolVal = value ? style.trueValue : VARIANT_FALSE;
}

void WriteValue(VARIANT* out, const std::u16string& value, const AnswerStyle&) {
  BSTR text = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  if (!text) throw std::bad_alloc();
  out->vt = VT_BSTR;
  out->bstrVal = text;
}

void WriteValue(VARIANT* out, const ComPtr<IDispatch>& value, const AnswerStyle& style) {
  if (value) {
    out->vt = VT_DISPATCH;
    out->pdispVal = ComPtr<IDispatch>(value).Detach();
    return;
  }
  switch (style.noObject) {
    case AnswerStyle::NoObject::kNullDispatch:
      out->vt = VT_DISPATCH;
      out->pdispVal = nullptr;
      break;
    case AnswerStyle::NoObject::kEmpty:
      out->vt = VT_EMPTY;
      break;
    case AnswerStyle::NoObject::kNull:
      out->vt = VT_NULL;
      break;
  }
}

void WriteValue(VARIANT* out, const std::vector<LONG>& values, const AnswerStyle& style) {
  WriteList(out, values, VT_I4, style);
}
void WriteValue(VARIANT* out, const std::vector<double>& values, const AnswerStyle& style) {
  WriteList(out, values, VT_R8, style);
}
void WriteValue(VARIANT* out, const std::vector<bool>& values, const AnswerStyle& style) {
  WriteList(out, values, VT_BOOL, style);
}
void WriteValue(VARIANT* out, const std::vector<std::u16string>& values, const AnswerStyle& style) {
  WriteList(out, values, VT_BSTR, style);
}
void WriteValue(VARIANT* out, const std::vector<ComPtr<IDispatch>>& values,
                const AnswerStyle& style) {
  WriteList(out, values, VT_DISPATCH, style);
}

void WriteTypedReference(const VARIANT& target, LONG value, const AnswerStyle&) {
  *target.plVal = value;
}
void WriteTypedReference(const VARIANT& target, double value, const AnswerStyle&) {
  *target.pdblVal = value;
}
void WriteTypedReference(const VARIANT& target, bool value, const AnswerStyle& style) {
  *target.pboolVal = value ? style.trueValue : VARIANT_FALSE;
}
void WriteTypedReference(const VARIANT& target, const std::u16string& value, const AnswerStyle&) {
  BSTR text = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  if (!text) throw std::bad_alloc();
  *target.pbstrVal = text;
}

std::optional<std::vector<LONG>> ReadLongList(const VARIANT& value) {
  std::optional<std::vector<ScopedVariant>> items = ReadElements(value, VT_I4);
  if (!items) return std::nullopt;
  std::vector<LONG> numbers;
  for (const ScopedVariant& item : *items) numbers.push_back(item.Get()->lVal);
  return numbers;
}

std::optional<std::vector<std::u16string>> ReadTextList(const VARIANT& value) {
  std::optional<std::vector<ScopedVariant>> items = ReadElements(value, VT_BSTR);
  if (!items) return std::nullopt;
  std::vector<std::u16string> texts;
  for (const ScopedVariant& item : *items) texts.emplace_back(BstrView(item.Get()->bstrVal));
  return texts;
}

std::u16string ValueText(const VARIANT& value) {
  const VARIANT* held = &value;
  if (held->vt == (VT_BYREF | VT_VARIANT)) held = held->pvarVal;
  if (!held) return u"null";
  VARTYPE type = held->vt & ~VT_BYREF;
  if (type & VT_ARRAY) return u"array";
  switch (type) {
    case VT_EMPTY:
      return u"empty";
    case VT_NULL:
      return u"null";
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      IUnknown* object = (held->vt & VT_BYREF) ? *held->ppunkVal : held->punkVal;
      return object ? u"object" : u"null";
    }
    default:
      break;
  }
  ScopedVariant text;
  if (FAILED(VariantChangeType(text.Get(), held, 0, VT_BSTR))) return u"?";
  return std::u16string(BstrView(text.Get()->bstrVal));
}

}  // namespace sim
