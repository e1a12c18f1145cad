#include "hostutil/host_call.h"

#include <cstdint>

#include "common/kvx_exception.h"
#include "host/published/host_failure.h"
#include "platform/format.h"

namespace hostutil {

std::u16string HostFailureMessage(HRESULT hr, std::u16string_view operation) {
  if (std::optional<std::u16string> text = published::TakeHostFailure(hr)) return *text;
  return platform::FormatWide(platform::kUnlimited, u"%s failed (0x%08X)", operation,
                              static_cast<uint32_t>(hr));
}

void CheckHost(HRESULT hr, std::u16string_view operation) {
  if (SUCCEEDED(hr)) return;
  throw Dovbase::Kvx_Exception(HostFailureMessage(hr, operation));
}

void ThrowNoObject(std::u16string_view operation) {
  throw Dovbase::Kvx_Exception(
      platform::FormatWide(platform::kUnlimited, u"%s: no object", operation));
}

}  // namespace hostutil
