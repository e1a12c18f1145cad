#include "common/log.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/native_path.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace Dovbase {
namespace {

// The time stamp of a line: local date and time to the second, then the
// milliseconds without leading zeros. One reading of the clock serves both,
// so that they always belong to the same instant.
std::u16string TimeStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return platform::FormatWide(platform::kUnlimited, u"%04u-%02u-%02u %02u:%02u:%02u:%u: ",
                              now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                              now.wMilliseconds);
}

}  // namespace

void WriteLog(std::u16string_view text) noexcept {
  try {
    // Opened first: without the log folder nothing is written, and a line
    // that goes nowhere costs no formatting.
    std::ofstream file(platform::NativePath(kLogPath), std::ios::binary | std::ios::app);
    if (!file) return;
    std::u16string line = TimeStamp();
    line += text;
    line += u'\n';
    // The text is converted here rather than by a locale-aware stream, so
    // that the host process's locale is left as it is.
    const std::string bytes = platform::WideToAnsi(line);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
  } catch (...) {
    // Logging never fails the caller.
  }
}

bool LogEnabled() noexcept {
  try {
    std::error_code ignored;
    return std::filesystem::is_directory(platform::NativePath(kLogPath).parent_path(), ignored);
  } catch (...) {
    return false;
  }
}

}  // namespace Dovbase
