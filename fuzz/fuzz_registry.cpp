#include "fuzz/fuzz_registry.h"

#include <utility>

namespace fuzz {

std::vector<std::pair<std::string, TargetFunction>>& Targets() {
  static auto* targets = new std::vector<std::pair<std::string, TargetFunction>>;
  return *targets;
}

bool Register(const char* name, TargetFunction function) {
  Targets().emplace_back(name, function);
  return true;
}

}  // namespace fuzz
