// What one call into the host costs through the binding (the add-in's view
// of the host, late-bound: the DISPID from the binding's cache, Invoke, the
// simulated host's dispatch and the conversions on both sides), next to a
// direct C++ call of the same simulated member.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct HostCallCost {
  std::string member;  // "IModelDoc2.GetTitle"
  double lateBoundNs = 0;
  double directNs = 0;
};

// Opens the model in a simulated host of its own and times each measured
// member both ways, median of `repetitions` runs of many calls each.
std::vector<HostCallCost> MeasureHostCalls(const std::filesystem::path& model, int repetitions);

}  // namespace bench
