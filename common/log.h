// The log file: one line per event appended to "c:\1\dov_cax_log.txt" (a
// drive path, mapped to this file system by platform::NativePath), each line
// "YYYY-MM-DD hh:mm:ss:<milliseconds>: <text>" in the system's multibyte code
// page. The file is opened and closed for every line. When it cannot be
// opened (for instance because the directory "c:\1" does not exist) the line
// is dropped without a word: logging never fails the caller and never
// throws. The process locale is neither read nor changed.
#pragma once

#include <string>
#include <string_view>

#include "platform/format.h"

namespace Dovbase {

// The log file's path as the system names it; the same for the whole process.
constexpr std::u16string_view kLogPath = u"c:\\1\\dov_cax_log.txt";

// The longest text of a formatted log line; longer output is cut.
constexpr size_t kLogFormatLimit = 4096;

// Appends one line with the text.
void WriteLog(std::u16string_view text) noexcept;

// Whether lines are kept now: the log file's folder exists. Work that would
// log a line for every row asks once, and spares the rows the formatting and
// the failing file opens when nobody keeps the lines.
bool LogEnabled() noexcept;

// Formats with platform::FormatWide (printf-style, cut to kLogFormatLimit
// characters) and appends the result as one line.
template <typename... Args>
void WriteLogFormat(std::u16string_view format, const Args&... args) noexcept {
  try {
    WriteLog(platform::FormatWide(kLogFormatLimit, format, args...));
  } catch (...) {
    // Out of memory while formatting: the line is dropped, as promised.
  }
}

}  // namespace Dovbase
