#include "bench/memory_probe.h"

#include <fstream>
#include <sstream>
#include <string>

namespace bench {
namespace {

long StatusKib(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, key.size(), key) == 0) {
      std::istringstream value(line.substr(key.size()));
      long kib = 0;
      value >> kib;
      return kib;
    }
  }
  return 0;
}

}  // namespace

long ResidentKib() { return StatusKib("VmRSS:"); }
long PeakResidentKib() { return StatusKib("VmHWM:"); }

bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

}  // namespace bench
