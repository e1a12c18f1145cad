#include "bench/host_call_cost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

#include "bench/cpu_clock.h"
#include "host/published/binding.h"
#include "platform/bstr.h"
#include "sim/sim_document.h"
#include "sim/sim_equation_manager.h"
#include "sim/sim_host.h"

namespace bench {
namespace {

constexpr int kCalls = 200000;

// Nanoseconds per call of `call`, median of the runs.
double NsPerCall(int repetitions, const std::function<void()>& call) {
  std::vector<double> runs;
  for (int run = 0; run <= repetitions; ++run) {
    const double start = CpuSeconds();
    for (int i = 0; i < kCalls; ++i) call();
    if (run > 0) runs.push_back((CpuSeconds() - start) * 1e9 / kCalls);  // the first warms up
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

}  // namespace

std::vector<HostCallCost> MeasureHostCalls(const std::filesystem::path& model, int repetitions) {
  sim::SimHost host;
  host.SetRecording(false);
  ComPtr<IDispatch> hostDocument = host.Open(model);
  auto* simDocument = dynamic_cast<sim::SimDocument*>(hostDocument.Get());
  ComPtr<IHostModelDoc> document = published::BindDocument(hostDocument.Get());
  ComPtr<IHostEquationManager> equations;
  document->GetEquationManager(equations.ReleaseAndGetAddressOf());
  ComPtr<IDispatch> hostEquations = simDocument->GetEquationMgr();
  auto* simEquations = dynamic_cast<sim::SimEquationManager*>(hostEquations.Get());

  std::vector<HostCallCost> costs;
  costs.push_back({"IModelDoc2.GetTitle",
                   NsPerCall(repetitions,
                             [&] {
                               ScopedBstr title;
                               document->GetTitle(title.Receive());
                               benchmark::DoNotOptimize(title.Get());
                             }),
                   NsPerCall(repetitions, [&] {
                     std::u16string title = simDocument->GetTitle();
                     benchmark::DoNotOptimize(title.data());
                   })});
  costs.push_back({"IModelDoc2.GetType",
                   NsPerCall(repetitions,
                             [&] {
                               LONG type = 0;
                               document->GetType(&type);
                               benchmark::DoNotOptimize(type);
                             }),
                   NsPerCall(repetitions, [&] {
                     LONG type = simDocument->GetType();
                     benchmark::DoNotOptimize(type);
                   })});
  costs.push_back({"IEquationMgr.Value(0)",
                   NsPerCall(repetitions,
                             [&] {
                               double value = 0;
                               equations->GetValue(0, &value);
                               benchmark::DoNotOptimize(value);
                             }),
                   NsPerCall(repetitions, [&] {
                     double value = simEquations->Value(0);
                     benchmark::DoNotOptimize(value);
                   })});
  return costs;
}

}  // namespace bench
