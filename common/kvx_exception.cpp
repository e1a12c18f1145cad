#include "common/kvx_exception.h"

#include <utility>

#include "platform/text.h"

namespace Dovbase {

Kvx_Exception::Kvx_Exception(std::u16string message, std::u16string file, std::u16string function,
                             int32_t line)
    : message_(std::move(message)),
      file_(std::move(file)),
      function_(std::move(function)),
      line_(line),
      what_(platform::Utf16ToUtf8(message_)) {}

void Kvx_Exception::SetReportFile(const OLECHAR* file) {
  if (file) reportFile_ = file;
}

void Kvx_Exception::SetReportFunction(const OLECHAR* function) {
  if (function) reportFunction_ = function;
}

std::u16string Kvx_Exception::ReportText() const {
  std::u16string text;
  text.reserve(message_.size() + 1);
  text += message_;
  text += u'\n';
  return text;
}

}  // namespace Dovbase
