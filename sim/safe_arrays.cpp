#include "sim/safe_arrays.h"

namespace sim {
namespace {

bool IsVectorOf(SAFEARRAY* array, VARTYPE want) {
  VARTYPE type = VT_EMPTY;
  return array && SafeArrayGetDim(array) == 1 && SUCCEEDED(SafeArrayGetVartype(array, &type)) &&
         type == want;
}

}  // namespace

SAFEARRAY* MakeTextArray(const std::vector<std::u16string>& texts) {
  ScopedSafeArray array(SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size())));
  if (!array.Get()) return nullptr;
  for (LONG i = 0; i < static_cast<LONG>(texts.size()); ++i) {
    ScopedBstr text(texts[i]);
    if (FAILED(SafeArrayPutElement(array.Get(), &i, text.Get()))) return nullptr;
  }
  return array.Release();
}

SAFEARRAY* MakeLongArray(const std::vector<LONG>& numbers) {
  ScopedSafeArray array(SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(numbers.size())));
  if (!array.Get()) return nullptr;
  for (LONG i = 0; i < static_cast<LONG>(numbers.size()); ++i) {
    LONG value = numbers[i];
    if (FAILED(SafeArrayPutElement(array.Get(), &i, &value))) return nullptr;
  }
  return array.Release();
}

SAFEARRAY* MakeDispatchArray(const std::vector<ComPtr<IDispatch>>& objects) {
  ScopedSafeArray array(SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(objects.size())));
  if (!array.Get()) return nullptr;
  for (LONG i = 0; i < static_cast<LONG>(objects.size()); ++i) {
    if (FAILED(SafeArrayPutElement(array.Get(), &i, objects[i].Get()))) return nullptr;
  }
  return array.Release();
}

std::optional<std::vector<std::u16string>> ReadTextArray(SAFEARRAY* array) {
  if (!IsVectorOf(array, VT_BSTR)) return std::nullopt;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  std::vector<std::u16string> texts;
  for (LONG i = lower; i <= upper; ++i) {
    ScopedBstr text;
    if (FAILED(SafeArrayGetElement(array, &i, text.Receive()))) return std::nullopt;
    texts.push_back(text.Str());
  }
  return texts;
}

std::optional<std::vector<LONG>> ReadLongArray(SAFEARRAY* array) {
  if (!IsVectorOf(array, VT_I4)) return std::nullopt;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  std::vector<LONG> numbers;
  for (LONG i = lower; i <= upper; ++i) {
    LONG value = 0;
    if (FAILED(SafeArrayGetElement(array, &i, &value))) return std::nullopt;
    numbers.push_back(value);
  }
  return numbers;
}

}  // namespace sim
