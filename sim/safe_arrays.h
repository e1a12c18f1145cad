// Building and reading the one-dimensional SAFEARRAYs that the host's list
// operations pass.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/safearray.h"

namespace sim {

// New arrays for an out-parameter; the receiver owns them. Null when out of
// memory.
SAFEARRAY* MakeTextArray(const std::vector<std::u16string>& texts);
SAFEARRAY* MakeLongArray(const std::vector<LONG>& numbers);
SAFEARRAY* MakeDispatchArray(const std::vector<ComPtr<IDispatch>>& objects);

// The elements of a VT_BSTR or VT_I4 vector (null BSTRs read as empty);
// nothing for a null array or one of another type or shape.
std::optional<std::vector<std::u16string>> ReadTextArray(SAFEARRAY* array);
std::optional<std::vector<LONG>> ReadLongArray(SAFEARRAY* array);

}  // namespace sim
