// Conversions between the system's UTF-16 text and UTF-8 (which is also the
// system's ANSI code page on this platform). Invalid input never fails and
// never reads outside its bounds: each broken sequence becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace platform {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The system's multibyte ("ANSI") code page.
std::u16string AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::u16string_view wide);

// Length of a zero-terminated UTF-16 string; 0 for null.
size_t WideLength(const OLECHAR* text);

// ASCII letters folded to lower case; everything else unchanged.
std::u16string AsciiLower(std::u16string_view text);
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

}  // namespace platform
