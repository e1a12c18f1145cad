// The built-in table of the localised messages: English (United States),
// Chinese (Simplified) and Chinese (Traditional). It stands for the module's
// string resources where the system gives a module none, and it is what the
// Windows build writes into its string tables (windows/resource_generator).
#pragma once

#include "platform/win_types.h"

namespace Dovbase {

// The text of message `id` in `language` (LANG_ENGLISH_US,
// LANG_CHINESE_SIMPLIFIED or LANG_CHINESE_TRADITIONAL); null
// when the table has no such text.
const char16_t* BuiltInMessage(UINT id, LANGID language);

}  // namespace Dovbase
