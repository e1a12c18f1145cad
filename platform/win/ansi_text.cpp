// The system's ANSI code page is the one the user's Windows is set to.
#include <string>

#include "platform/text.h"
#include "platform/win/sdk.h"

namespace platform {

std::u16string AnsiToWide(std::string_view ansi) {
  const int32_t length = static_cast<int32_t>(ansi.size());
  std::u16string wide(static_cast<size_t>(sdk::AnsiToWide(ansi.data(), length, nullptr, 0)), u'\0');
  if (!wide.empty()) {
    int32_t written =
        sdk::AnsiToWide(ansi.data(), length, wide.data(), static_cast<int32_t>(wide.size()));
    wide.resize(static_cast<size_t>(written));
  }
  return wide;
}

std::string WideToAnsi(std::u16string_view wide) {
  const int32_t length = static_cast<int32_t>(wide.size());
  std::string ansi(static_cast<size_t>(sdk::WideToAnsi(wide.data(), length, nullptr, 0)), '\0');
  if (!ansi.empty()) {
    int32_t written =
        sdk::WideToAnsi(wide.data(), length, ansi.data(), static_cast<int32_t>(ansi.size()));
    ansi.resize(static_cast<size_t>(written));
  }
  return ansi;
}

}  // namespace platform
