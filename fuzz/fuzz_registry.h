// The fuzz targets of the replay build, by name (see fuzz_target.h).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace fuzz {

// Every target registered so far, in registration order.
std::vector<std::pair<std::string, TargetFunction>>& Targets();

}  // namespace fuzz
