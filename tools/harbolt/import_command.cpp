// harbolt import: the flagged rows of a database back into a model.
#include <iostream>

#include "tools/harbolt/caller_steps.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/session.h"
#include "tools/harbolt/table_list.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

constexpr OptionSpec kOptions[] = {
    {"db"},
    {"tables"},
    {"save", false},
    kModuleOption,
};

}  // namespace

const CommandSpec kImportSpec{
    "import",
    "Import the flagged rows of a database into a model (IHarbolt UpdateTable).",
    "MODEL --db DB [--tables LIST] [--save] [--module PATH]",
    "Opens MODEL in the simulated host and asks the add-in to apply the rows of DB\n"
    "that are flagged in their DADU_flag column: 2 changed, 1 added, 3 deleted\n"
    "(added and deleted rows count for equations only; the Parameter and property\n"
    "tables hand every row that is not flagged 3 to the host). The database is only\n"
    "read.\n"
    "\n"
    "  --db FILE      the database, as an export wrote it and the caller changed it\n"
    "  --tables LIST  logical table names separated by commas (default: all seven;\n"
    "                 the import reads Feature, Dimension, Equation, Config,\n"
    "                 Parameter and property)\n"
    "  --save         save the model afterwards (IHarbolt SaveFile): the model file\n"
    "                 and every changed file it uses are written back\n"
    "  --module PATH  the add-in module to load\n",
    1,
    1,
    kOptions,
};

int RunImport(const CommandLine& line) {
  std::optional<std::string> database = line.Value("db");
  if (!database) throw UsageError("--db DB is missing");
  std::vector<std::string> tables = ParseTableList(line.Value("tables"));

  Session session(line.positional()[0], ChooseModule(line.Value("module")));
  std::vector<FlaggedRows> flagged = CheckImportTables(session, *database, tables);
  CallResult result = Import(session, tables, *database);
  if (!result.ok()) {
    std::string message = result.Describe();
    if (result.errorNumber == 0 && result.errorDescription.empty()) {
      message +=
          "\nThe import stopped at a flagged row whose feature, dimension or configuration the "
          "model does not have; the rows before it were applied.";
    }
    throw ToolError(message, result.ExitStatus());
  }
  std::cout << "Imported the flagged rows of " << ShownPath(*database) << " into "
            << ShownPath(session.model()) << ":\n";
  PrintFlaggedRows(std::cout, flagged, "  ");
  if (!line.Has("save")) {
    std::cout << "Not saved: the changes live in the host's memory only (add --save to write the "
                 "model files).\n";
    return kExitOk;
  }
  std::vector<std::filesystem::path> written;
  CallResult saved = Save(session, &written);
  if (!saved.ok()) throw ToolError(saved.Describe(), saved.ExitStatus());
  std::cout << "Saved:";
  for (const auto& file : written) std::cout << " " << ShownPath(file);
  if (written.empty()) std::cout << " (no file changed)";
  std::cout << "\n";
  return kExitOk;
}

}  // namespace harbolt_cli
