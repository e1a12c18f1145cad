#include "sim/variant_values.h"

#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/safearray.h"
#include "platform/unknown.h"

namespace sim {
namespace {

// Moves a written answer into an array slot of a typed array: the slot
// takes over the BSTR or interface, or gets a copy of the number.
void MoveInto(void* slot, size_t size, VARIANT& item) {
  switch (item.vt) {
    case VT_BSTR:
      *static_cast<BSTR*>(slot) = std::exchange(item.bstrVal, nullptr);
      break;
    case VT_DISPATCH:
      *static_cast<IDispatch**>(slot) = std::exchange(item.pdispVal, nullptr);
      break;
    case VT_EMPTY:
    case VT_NULL:
      break;  // the slot stays empty: no object
    default:
      std::memcpy(slot, &item.llVal, size);
      break;
  }
  item.vt = VT_EMPTY;
}

// Unlocks an array's data when the writing ends, however it ends.
class DataAccess {
 public:
  explicit DataAccess(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) throw std::bad_alloc();
  }
  DataAccess(const DataAccess&) = delete;
  DataAccess& operator=(const DataAccess&) = delete;
  ~DataAccess() { SafeArrayUnaccessData(array_); }
  char* data() const { return static_cast<char*>(data_); }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// Each element is written straight into its slot, which owns it from then
// on: a large list costs one allocation per text, not three.
template <typename T>
void WriteList(VARIANT* out, const std::vector<T>& values, VARTYPE elementType,
               const AnswerStyle& style) {
  if (values.empty()) return;
  bool variants = style.lists == AnswerStyle::Lists::kVariants;
  VARTYPE element = variants ? VARTYPE{VT_VARIANT} : elementType;
  ScopedSafeArray array(SafeArrayCreateVector(element, 0, static_cast<ULONG>(values.size())));
  if (!array.Get()) throw std::bad_alloc();
  {
    DataAccess access(array.Get());
    const size_t size = array.Get()->cbElements;
    char* slot = access.data();
    for (size_t i = 0; i < values.size(); ++i, slot += size) {
      ScopedVariant item;
      if constexpr (std::is_same_v<T, bool>) {
        WriteValue(item.Get(), static_cast<bool>(values[i]), style);
      } else {
        WriteValue(item.Get(), values[i], style);
      }
      if (variants) {
        *reinterpret_cast<VARIANT*>(slot) = std::exchange(*item.Get(), VARIANT{});
      } else {
        MoveInto(slot, size, *item.Get());
      }
    }
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
