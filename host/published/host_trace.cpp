#include "host/published/host_trace.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/console.h"
#include "platform/native_path.h"
#include "platform/text.h"

namespace published {
namespace {

// Fixed storage: the module keeps no object with a destructor. A trace file
// whose name does not fit is not opened.
struct TraceSettings {
  bool on;
  char16_t path[1024];
};
TraceSettings trace;

void AppendText(std::string& line, const char* name, std::string_view value) {
  line += '"';
  line += name;
  line += "\": \"";
  line += value;
  line += '"';
}

}  // namespace

const char* CallKindName(CallKind kind) {
  switch (kind) {
    case CallKind::kGet:
      return "get";
    case CallKind::kPut:
      return "put";
    case CallKind::kMethod:
      break;
  }
  return "method";
}

void ConfigureHostTrace() {
  DWORD length = GetEnvironmentVariableW(u"HARBOLT_HOST_TRACE", trace.path,
                                         static_cast<DWORD>(std::size(trace.path)));
  trace.on = length > 0 && length < std::size(trace.path);
}

bool HostTraceOn() { return trace.on; }

void TraceHostCall(const HostMember& member, CallKind kind, unsigned arguments, HRESULT hr,
                   int64_t microseconds) {
  try {
    char numbers[64];
    std::string line = "{";
    AppendText(line, "interface", member.interfaceName());
    line += ", ";
    AppendText(line, "member", platform::Utf16ToUtf8(member.name()));
    line += ", ";
    AppendText(line, "kind", CallKindName(kind));
    std::snprintf(numbers, sizeof numbers, ", \"args\": %u, \"hr\": \"0x%08X\", \"us\": %lld}\n",
                  arguments, static_cast<unsigned>(hr), static_cast<long long>(microseconds));
    line += numbers;
    std::ofstream file(platform::NativePath(trace.path), std::ios::binary | std::ios::app);
    file << line;
  } catch (...) {
    // Out of memory, or a path the file system cannot take: the line is lost.
  }
}

}  // namespace published
