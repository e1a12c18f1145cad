// Publishing the host's description of a failure as the thread's COM error
// object, as a failing host call does.
#pragma once

#include <string_view>

namespace sim {

// Sets the calling thread's error info: source "HostSim", the description
// given.
void PublishHostError(std::u16string_view description);

}  // namespace sim
