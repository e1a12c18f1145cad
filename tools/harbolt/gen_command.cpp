// harbolt gen: synthetic models of a requested size.
#include <iostream>
#include <stdexcept>

#include "sim/model_error.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/model_generator.h"
#include "tools/harbolt/tool_error.h"
#include "tools/harbolt/tool_paths.h"

namespace harbolt_cli {
namespace {

constexpr OptionSpec kOptions[] = {
    {"out"},       {"components"},     {"depth"},      {"features"},   {"dimensions"},
    {"equations"}, {"configurations"}, {"parameters"}, {"properties"},
};

}  // namespace

const CommandSpec kGenSpec{
    "gen",
    "Write synthetic models of a requested size (for benchmarks and tests).",
    "--out DIR [--components N] [--depth N] [--features N] [--dimensions N]\n"
    "                   [--equations N] [--configurations N] [--parameters N] [--properties N]",
    "Writes model files into DIR (created when missing) and prints the one to open.\n"
    "With --depth 0 the model is a single part, Part1.SLDPRT. With depth d it is an\n"
    "assembly tree: Assembly1.SLDASM holds one instance of each of the parts\n"
    "Part1 ... PartN, Assembly2.SLDASM holds N instances of Assembly1, and so on up\n"
    "to Assembly<d>.SLDASM, whose every configuration holds N + N^2 + ... + N^d\n"
    "components.\n"
    "\n"
    "  --components N      components of each assembly (default 3)\n"
    "  --depth N           levels of assemblies above the parts (default 1)\n"
    "  --features N        extrusions of each part, each with a sketch (default 4)\n"
    "  --dimensions N      dimensions of each part, on the sketches (default 4)\n"
    "  --equations N       equations of each model (default 2)\n"
    "  --configurations N  configurations of each model (default 2)\n"
    "  --parameters N      parameters of each configuration (default 2)\n"
    "  --properties N      custom properties of each configuration and of each\n"
    "                      document (default 2)\n"
    "\n"
    "Then, for instance:\n"
    "  harbolt export DIR/Assembly1.SLDASM --dd examples/sample/dictionary.xml --db out.db\n",
    0,
    0,
    kOptions,
};

int RunGen(const CommandLine& line) {
  std::optional<std::string> out = line.Value("out");
  if (!out) throw UsageError("--out DIR is missing");
  modelgen::ModelSize size;
  using Generator = modelgen::ModelGenerator;
  size.components = line.IntValue("components", size.components, 1, Generator::kMaxComponents);
  size.depth = line.IntValue("depth", size.depth, 0, Generator::kMaxDepth);
  size.features = line.IntValue("features", size.features, 0, Generator::kMaxCount);
  size.dimensions = line.IntValue("dimensions", size.dimensions, 0, Generator::kMaxCount);
  size.equations = line.IntValue("equations", size.equations, 0, Generator::kMaxCount);
  size.configurations =
      line.IntValue("configurations", size.configurations, 1, Generator::kMaxConfigurations);
  size.parameters = line.IntValue("parameters", size.parameters, 0, Generator::kMaxCount);
  size.properties = line.IntValue("properties", size.properties, 0, Generator::kMaxCount);

  std::optional<Generator> generator;
  try {
    generator.emplace(size);
  } catch (const std::invalid_argument& error) {
    throw UsageError(error.what());
  }
  modelgen::GeneratedModel model;
  try {
    model = generator->Write(*out);
  } catch (const std::exception& error) {
    throw ToolError(std::string("cannot write the models: ") + error.what());
  }
  std::cout << "Wrote " << model.files.size() << " model file"
            << (model.files.size() == 1 ? "" : "s") << " into " << ShownPath(*out) << "; open "
            << ShownPath(model.top) << "\n";
  return kExitOk;
}

}  // namespace harbolt_cli
