#include "bench/host_call_counts.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>

#include "bench/addin_timing.h"

namespace bench {
namespace {

// Members that change the model: every put, and these methods.
bool IsWrite(const std::string& line) {
  if (line.find("\"kind\": \"put\"") != std::string::npos) return true;
  for (const char* member : {"\"Add2\"", "\"Set2\"", "\"SetConfigurationParams\"", "\"SetValue3\"",
                             "\"SetValues2\"", "\"SetUIState\"", "\"Delete\""}) {
    if (line.find(std::string("\"member\": ") + member) != std::string::npos) return true;
  }
  return false;
}

// The calls in the trace file, and the writes among them; empties the file.
std::pair<long long, long long> TakeTrace(const std::filesystem::path& trace) {
  long long calls = 0;
  long long writes = 0;
  {
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line); ++calls) writes += IsWrite(line);
  }
  std::ofstream(trace, std::ios::trunc);
  return {calls, writes};
}

}  // namespace

std::vector<CallCount> CountHostCalls(
    const std::string& size, const std::filesystem::path& module,
    const std::filesystem::path& model, const std::filesystem::path& dictionary,
    const std::filesystem::path& folder, const std::vector<std::string>& tables,
    const std::vector<long long>& rows, const std::vector<std::string>& importTables,
    const std::filesystem::path& importDatabase, long long importRows) {
  const std::filesystem::path trace = folder / "host-calls.jsonl";
  // The add-in reads the setting when the host connects it.
  setenv("HARBOLT_HOST_TRACE", trace.c_str(), 1);
  AddinTiming addin(module, model, dictionary);
  unsetenv("HARBOLT_HOST_TRACE");
  TakeTrace(trace);

  std::vector<CallCount> counts;
  const std::filesystem::path database = folder / "counted.db";
  for (size_t t = 0; t < tables.size(); ++t) {
    addin.Refresh({tables[t]}, database);
    auto [calls, writes] = TakeTrace(trace);
    counts.push_back({size, "export " + tables[t], rows[t], calls, writes});
  }
  addin.Refresh(tables, database);
  auto [calls, writes] = TakeTrace(trace);
  counts.push_back(
      {size, "export total", std::accumulate(rows.begin(), rows.end(), 0LL), calls, writes});
  addin.Update(importTables, importDatabase);
  auto [importCalls, importWrites] = TakeTrace(trace);
  counts.push_back({size, "import 10% flagged", importRows, importCalls, importWrites});
  return counts;
}

void PrintCallCounts(std::ostream& out, const std::vector<CallCount>& counts) {
  out << "host calls, counted from the host-call trace (per row: per exported row, per flagged "
         "row imported)\n";
  char line[200];
  std::snprintf(line, sizeof line, "%-8s %-24s %10s %10s %9s %10s %9s\n", "size", "operation",
                "rows", "calls", "per row", "writes", "per row");
  out << line;
  for (const CallCount& count : counts) {
    const double rows = count.rows > 0 ? static_cast<double>(count.rows) : 1.0;
    std::snprintf(line, sizeof line, "%-8s %-24s %10lld %10lld %9.2f %10lld %9.2f\n",
                  count.size.c_str(), count.operation.c_str(), count.rows, count.calls,
                  static_cast<double>(count.calls) / rows, count.writes,
                  static_cast<double>(count.writes) / rows);
    out << line;
  }
}

}  // namespace bench
