// The system's ANSI code page on this platform is UTF-8.
#include "platform/text.h"

namespace platform {

std::u16string AnsiToWide(std::string_view ansi) { return Utf8ToUtf16(ansi); }

std::string WideToAnsi(std::u16string_view wide) { return Utf16ToUtf8(wide); }

}  // namespace platform
