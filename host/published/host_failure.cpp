#include "host/published/host_failure.h"

#include <algorithm>
#include <cstdint>

#include "platform/format.h"
#include "platform/text.h"

namespace published {
namespace {

// A fixed record: the module keeps no object with a destructor, not even a
// thread's. A longer text is cut.
struct FailureRecord {
  bool set;
  HRESULT hr;
  size_t length;
  char16_t text[1024];
};
thread_local FailureRecord lastFailure;

}  // namespace

HRESULT RecordHostFailure(HRESULT hr, std::u16string text) {
  FailureRecord& record = lastFailure;
  record.set = true;
  record.hr = hr;
  record.length = std::min(text.size(), std::size(record.text));
  std::copy_n(text.data(), record.length, record.text);
  return hr;
}

std::optional<std::u16string> TakeHostFailure(HRESULT hr) {
  FailureRecord& record = lastFailure;
  if (!record.set || record.hr != hr) return std::nullopt;
  record.set = false;
  return std::u16string(record.text, record.length);
}

void ClearHostFailure() { lastFailure.set = false; }

std::u16string HostFailureText(const char* interfaceName, std::u16string_view member, HRESULT hr,
                               std::u16string_view detail) {
  std::u16string text =
      platform::FormatWide(platform::kUnlimited, u"%s.%s failed (0x%08X)",
                           platform::Utf8ToUtf16(interfaceName), member, static_cast<uint32_t>(hr));
  if (!detail.empty()) {
    text += u": ";
    text += detail;
  }
  return text;
}

}  // namespace published
