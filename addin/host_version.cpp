#include "addin/host_version.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/text.h"

namespace harbolt {

LONG HostMajorVersion(std::u16string_view revision) {
  std::string narrow = platform::WideToAnsi(revision);
  long long value = std::strtoll(narrow.c_str(), nullptr, 10);
  if (value > std::numeric_limits<LONG>::max()) return std::numeric_limits<LONG>::max();
  if (value < std::numeric_limits<LONG>::min()) return std::numeric_limits<LONG>::min();
  return static_cast<LONG>(value);
}

WORD EventTypeLibMajorVersion(LONG hostMajorVersion) {
  if (hostMajorVersion < 14) return 0;
  return static_cast<WORD>(std::min<LONG>(hostMajorVersion, std::numeric_limits<WORD>::max()));
}

}  // namespace harbolt
