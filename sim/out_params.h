// Filling the out-parameters of the host's methods.
#pragma once

#include <string_view>

#include "platform/bstr.h"
#include "platform/com_ptr.h"

namespace sim {

// A new BSTR holding text into *out; E_OUTOFMEMORY when it cannot be made.
inline HRESULT ReturnText(std::u16string_view text, BSTR* out) {
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Hands a reference to the receiver (null stays null).
template <typename T>
HRESULT ReturnObject(const ComPtr<T>& object, T** out) {
  object.CopyTo(out);
  return S_OK;
}

}  // namespace sim
