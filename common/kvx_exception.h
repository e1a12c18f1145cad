// The program's own exception: what every layer raises, what the fault
// handlers turn run-time faults into, and what the catch pattern completes
// with the place that caught it.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/win_types.h"

namespace Dovbase {

class Kvx_Exception : public std::exception {
 public:
  // The raise site: message, source file, function and line (file and
  // function may be empty, line 0 when not given). The report fields start
  // empty and 0. Throws std::bad_alloc when the texts cannot be copied.
  explicit Kvx_Exception(std::u16string message = {}, std::u16string file = {},
                         std::u16string function = {}, int32_t line = 0);

  const std::u16string& message() const { return message_; }
  const std::u16string& file() const { return file_; }
  const std::u16string& function() const { return function_; }
  int32_t line() const { return line_; }
  const std::u16string& reportFile() const { return reportFile_; }
  const std::u16string& reportFunction() const { return reportFunction_; }
  int32_t reportLine() const { return reportLine_; }

  // The place that caught the exception. A null text leaves the field as
  // it was.
  void SetReportFile(const OLECHAR* file);
  void SetReportFunction(const OLECHAR* function);
  void SetReportLine(int32_t line) { reportLine_ = line; }

  // The text that reaches the user: the message followed by "\n".
  std::u16string ReportText() const;

  // The message in UTF-8, valid as long as the exception lives.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::u16string message_;
  std::u16string file_;
  std::u16string function_;
  int32_t line_;
  std::u16string reportFile_;
  std::u16string reportFunction_;
  int32_t reportLine_ = 0;
  std::string what_;
};

}  // namespace Dovbase
