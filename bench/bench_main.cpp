// harbolt_bench: the export and the import of synthetic models at sizes ten
// times apart, next to what SQLite alone does with the same rows.
//
//   harbolt_bench [--sizes 1,10] [--repetitions 3] [--work DIR] [--module PATH]
//                 [--components N] [--features N] [--dimensions N]
//                 [--configurations N] [--parameters N] [--properties N]
//                 [--equations N]
//
// The model is a one-level assembly of --components parts (10) with
// --configurations configurations (2). Each size multiplies the counts of
// every part (40 features and dimensions, 20 equations, 200 parameters, 160
// properties by default), so the rows grow with the size. Every
// measurement is run once to warm up and then --repetitions times; the
// table shows the medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "bench/addin_timing.h"
#include "bench/host_call_cost.h"
#include "bench/host_call_counts.h"
#include "bench/import_ceiling.h"
#include "bench/memory_probe.h"
#include "bench/result_table.h"
#include "bench/sqlite_ceiling.h"
#include "sim/sim_host.h"
#include "tools/harbolt/model_generator.h"
#include "tools/harbolt/tool_paths.h"

namespace {

const std::vector<std::string> kAllTables = {"Feature",   "Dimension", "Equation", "Config",
                                             "Parameter", "Componen",  "property"};
// The tables the import reads for an assembly (the component list is
// export-only).
const std::vector<std::string> kImportTables = {"Feature", "Dimension", "Equation",
                                                "Config",  "Parameter", "property"};
// The rows the import can apply to the open assembly: its own top-level
// features (those of the parts are not in its feature list, nor their
// dimensions), and every row of the other tables; and what a caller changes
// in them (equations are flagged as they are).
const std::vector<bench::FlagRule> kImportFlags = {
    {"Feature", "ownerFeature = ''", "description = description || ' *'"},
    {"Equation", "", ""},
    {"Config", "", "description = description || ' *'"},
    {"Parameter", "", "paramValue = paramValue || '9'"},
    {"property", "", "propertyValue = propertyValue || ' *'"},
};

struct Options {
  std::vector<int> sizes = {1, 10};
  int repetitions = 3;
  std::filesystem::path work;
  std::optional<std::string> module;
  modelgen::ModelSize shape;
};

std::vector<int> ParseSizes(const std::string& text) {
  std::vector<int> sizes;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    sizes.push_back(std::stoi(text.substr(start, comma - start)));
    start = comma + 1;
  }
  return sizes;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  options.shape.components = 10;
  options.shape.depth = 1;
  options.shape.features = 40;
  options.shape.dimensions = 40;
  options.shape.equations = 20;
  options.shape.configurations = 2;
  options.shape.parameters = 200;
  options.shape.properties = 160;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) throw std::invalid_argument("missing value of " + name);
    const std::string value = argv[++i];
    if (name == "--sizes") {
      options.sizes = ParseSizes(value);
    } else if (name == "--repetitions") {
      options.repetitions = std::max(1, std::stoi(value));
    } else if (name == "--work") {
      options.work = value;
    } else if (name == "--module") {
      options.module = value;
    } else if (name == "--components") {
      options.shape.components = std::stoi(value);
    } else if (name == "--features") {
      options.shape.features = std::stoi(value);
    } else if (name == "--dimensions") {
      options.shape.dimensions = std::stoi(value);
    } else if (name == "--configurations") {
      options.shape.configurations = std::stoi(value);
    } else if (name == "--parameters") {
      options.shape.parameters = std::stoi(value);
    } else if (name == "--properties") {
      options.shape.properties = std::stoi(value);
    } else if (name == "--equations") {
      options.shape.equations = std::stoi(value);
    } else {
      throw std::invalid_argument("unknown option " + name);
    }
  }
  if (options.work.empty()) {
    options.work = std::filesystem::temp_directory_path() / "harbolt-bench";
  }
  return options;
}

// Runs once to warm up, then `repetitions` times; the median seconds.
double Median(int repetitions, const std::function<double()>& run) {
  run();
  std::vector<double> seconds;
  for (int i = 0; i < repetitions; ++i) seconds.push_back(run());
  std::sort(seconds.begin(), seconds.end());
  const size_t n = seconds.size();
  return n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
}

struct MemoryLine {
  std::string size;
  double modelMib = 0;
  double exportMib = 0;
};

double Mib(long kib) { return static_cast<double>(kib) / 1024.0; }

std::vector<bench::TableRows> RowsOf(const std::vector<bench::TableRows>& all,
                                     const std::string& table) {
  std::vector<bench::TableRows> one;
  for (const bench::TableRows& rows : all) {
    if (rows.table == bench::StoredTableName(table)) one.push_back(rows);
  }
  return one;
}

// The memory figures of one size, measured by this program run again with
// --memory.
MemoryLine MeasureMemory(const std::string& label, const std::filesystem::path& module,
                         const std::filesystem::path& model,
                         const std::filesystem::path& dictionary,
                         const std::filesystem::path& folder) {
  const std::filesystem::path out = folder / "memory.txt";
  const std::string command = std::string("'").append(harbolt_cli::ExecutablePath().string()) +
                              "' --memory '" + module.string() + "' '" + model.string() + "' '" +
                              dictionary.string() + "' '" + (folder / "memory.db").string() +
                              "' '" + out.string() + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("the memory run failed");
  MemoryLine line{label};
  std::ifstream in(out);
  in >> line.modelMib >> line.exportMib;
  return line;
}

// The --memory run: the resident growth of opening the model in the host,
// then the export's peak above the session with the model open, in MiB,
// written to `out`.
int MemoryRun(char** argv) {
  const std::filesystem::path module = argv[2], model = argv[3], dictionary = argv[4];
  const std::filesystem::path database = argv[5], out = argv[6];
  double modelMib = 0;
  {
    const long before = bench::ResidentKib();
    sim::SimHost host;
    host.Open(model);
    modelMib = Mib(bench::ResidentKib() - before);
  }
  bench::AddinTiming addin(module, model, dictionary);
  const long beforeExport = bench::ResidentKib();
  const bool reset = bench::ResetPeak();
  addin.Refresh(kAllTables, database);
  const double exportMib = reset ? Mib(bench::PeakResidentKib() - beforeExport) : -1;
  std::ofstream(out) << modelMib << " " << exportMib << "\n";
  return 0;
}

void RunSize(const Options& options, const std::filesystem::path& module,
             const std::filesystem::path& dictionary, int scale, bench::ResultTable& table,
             std::vector<MemoryLine>& memory, std::vector<bench::CallCount>& calls) {
  modelgen::ModelSize shape = options.shape;
  shape.features *= scale;
  shape.dimensions *= scale;
  shape.equations *= scale;
  shape.parameters *= scale;
  shape.properties *= scale;
  const std::string label = std::string("x").append(std::to_string(scale));
  const std::filesystem::path folder = options.work / label;
  std::filesystem::remove_all(folder);
  const modelgen::GeneratedModel model = modelgen::ModelGenerator(shape).Write(folder / "model");
  const std::filesystem::path database = folder / "export.db";
  const std::filesystem::path imported = folder / "import.db";
  const std::filesystem::path ceiling = folder / "ceiling.db";
  std::cerr << label << ": " << model.files.size() << " model files\n";

  // Memory is measured in a process of its own, where no earlier size left
  // freed memory behind to hide what the model and the export take.
  memory.push_back(MeasureMemory(label, module, model.top, dictionary, folder));

  bench::AddinTiming addin(module, model.top, dictionary);
  addin.Refresh(kAllTables, database);
  const std::vector<long long> counts = bench::CountRows(database, kAllTables);
  const std::vector<bench::TableRows> rows = bench::ReadAllRows(database);
  long long totalRows = 0;
  for (long long count : counts) totalRows += count;

  for (size_t t = 0; t < kAllTables.size(); ++t) {
    const std::vector<std::string> one = {kAllTables[t]};
    const std::filesystem::path single = folder / ("export-" + kAllTables[t] + ".db");
    const double seconds = Median(options.repetitions, [&] { return addin.Refresh(one, single); });
    const std::vector<bench::TableRows> tableRows = RowsOf(rows, kAllTables[t]);
    const double ceilingSeconds = Median(
        options.repetitions, [&] { return bench::WritePerRowText16(single, ceiling, tableRows); });
    table.Add({label, "export " + kAllTables[t], counts[t], seconds, ceilingSeconds});
  }

  const double exportSeconds =
      Median(options.repetitions, [&] { return addin.Refresh(kAllTables, database); });
  const double textSeconds = Median(
      options.repetitions, [&] { return bench::WritePerRowText16(database, ceiling, rows); });
  const double utf8Seconds =
      Median(options.repetitions, [&] { return bench::WritePerRowText(database, ceiling, rows); });
  const double boundSeconds =
      Median(options.repetitions, [&] { return bench::WriteBound(database, ceiling, rows); });
  table.Add({label, "export total", totalRows, exportSeconds, textSeconds});
  table.Add({label, "sqlite per-row text", totalRows, textSeconds, textSeconds});
  table.Add({label, "sqlite per-row text UTF-8", totalRows, utf8Seconds, textSeconds});
  table.Add({label, "sqlite bound", totalRows, boundSeconds, textSeconds});

  // The import of every tenth row of each table it reads, flagged changed
  // with the caller's changes; the runs alternate with a database of the
  // same rows flagged with the values the export wrote, so that every run
  // changes the model as much as the first.
  const std::filesystem::path restoring = folder / "restore.db";
  std::filesystem::copy_file(database, imported, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy_file(database, restoring,
                             std::filesystem::copy_options::overwrite_existing);
  long long flagged = 0;
  for (long long count : bench::FlagEveryTenthRow(imported, kImportFlags, 2, true)) {
    flagged += count;
  }
  bench::FlagEveryTenthRow(restoring, kImportFlags, 2, false);
  int importRun = 0;
  const double importSeconds = Median(options.repetitions, [&] {
    return addin.Update(kImportTables, importRun++ % 2 ? restoring : imported);
  });
  if (importRun % 2) addin.Update(kImportTables, restoring);
  long long selected = 0;
  const double readSeconds =
      Median(options.repetitions, [&] { return bench::ReadImportRows(imported, selected); });
  table.Add({label, "import 10% flagged", flagged, importSeconds, readSeconds});
  table.Add({label, "import, rows selected", selected, importSeconds, readSeconds});
  table.Add({label, "sqlite import reads", selected, readSeconds, readSeconds});
  benchmark::DoNotOptimize(flagged);

  const std::vector<bench::CallCount> counted =
      bench::CountHostCalls(label, module, model.top, dictionary, folder, kAllTables, counts,
                            kImportTables, imported, flagged);
  calls.insert(calls.end(), counted.begin(), counted.end());
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 7 && std::string(argv[1]) == "--memory") return MemoryRun(argv);
    const Options options = ParseOptions(argc, argv);
    const std::filesystem::path module = harbolt_cli::ChooseModule(options.module).path;
    const std::optional<std::filesystem::path> sample = harbolt_cli::FindSampleFolder();
    if (!sample) throw std::runtime_error("the sample folder (examples/sample) is not found");
    const std::filesystem::path dictionary = *sample / "dictionary.xml";

    bench::ResultTable table;
    std::vector<MemoryLine> memory;
    std::vector<bench::CallCount> calls;
    for (int scale : options.sizes) {
      RunSize(options, module, dictionary, scale, table, memory, calls);
    }
    std::cout << "median of " << options.repetitions << " runs after one warm-up; /ceiling = "
              << "ceiling time / time (export: sqlite per-row text, UTF-16; import: sqlite import "
                 "reads); growth = time / time at the previous size\n";
    table.Print(std::cout);
    for (const MemoryLine& line : memory) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "%-8s memory: model %.1f MiB, export peak above it %.1f MiB (%.2f x model)\n",
                    line.size.c_str(), line.modelMib, line.exportMib,
                    line.modelMib > 0 ? line.exportMib / line.modelMib : 0.0);
      std::cout << text;
    }
    bench::PrintCallCounts(std::cout, calls);
    // One call into the host, through the binding and directly.
    for (const bench::HostCallCost& cost :
         bench::MeasureHostCalls(*sample / "Housing.SLDPRT", options.repetitions)) {
      char text[200];
      std::snprintf(text, sizeof text,
                    "host call %-24s late-bound %6.0f ns, direct %6.0f ns, difference %6.0f ns\n",
                    cost.member.c_str(), cost.lateBoundNs, cost.directNs,
                    cost.lateBoundNs - cost.directNs);
      std::cout << text;
    }
    std::filesystem::remove_all(options.work);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "harbolt_bench: " << error.what() << "\n";
    return 1;
  }
}
