// harbolt export: the active model into the tables of a database.
#include <iostream>

#include "tools/harbolt/caller_steps.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/session.h"
#include "tools/harbolt/table_list.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

constexpr OptionSpec kOptions[] = {
    {"dd"}, {"db"}, {"tables"}, {"workdir"}, kModuleOption,
};

}  // namespace

const CommandSpec kExportSpec{
    "export",
    "Export a model into the tables of an SQLite database (IHarbolt RefreshTable).",
    "MODEL --dd DICTIONARY.xml --db OUT.db [--tables LIST] [--workdir DIR] [--module PATH]",
    "Opens MODEL (a .SLDPRT, .SLDASM or .SLDDRW model file) in the simulated host,\n"
    "hands the add-in the data dictionary and asks it to export the model into\n"
    "OUT.db, which it creates anew. Every exported row has DADU_flag 0.\n"
    "\n"
    "  --dd FILE      the data dictionary: which columns each table has\n"
    "                 (examples/sample/dictionary.xml covers all seven tables)\n"
    "  --db FILE      the database file to write (replaced when it exists)\n"
    "  --tables LIST  logical table names separated by commas (default: all seven:\n"
    "                 Feature,Dimension,Equation,Config,Parameter,Componen,property)\n"
    "  --workdir DIR  where the preview pictures of the components go (created when\n"
    "                 missing); without it no pictures are written\n"
    "  --module PATH  the add-in module to load (default: the one built next to\n"
    "                 this program, or HARBOLT_MODULE)\n",
    1,
    1,
    kOptions,
};

int RunExport(const CommandLine& line) {
  std::optional<std::string> dictionary = line.Value("dd");
  std::optional<std::string> database = line.Value("db");
  if (!dictionary) throw UsageError("--dd DICTIONARY.xml is missing");
  if (!database) throw UsageError("--db OUT.db is missing");
  std::vector<std::string> tables = ParseTableList(line.Value("tables"));

  Session session(line.positional()[0], ChooseModule(line.Value("module")));
  SetDictionary(session, *dictionary);
  SetWorkFolder(session, line.Value("workdir").value_or(""));
  CallResult result = Export(session, tables, *database);
  if (!result.ok()) {
    std::string message = result.Describe();
    // The function name that starts the description does not depend on the
    // user's language.
    if (result.errorDescription.starts_with(u"CSldToDb::CreateTable():")) {
      std::string asked;
      for (const std::string& table : tables) asked += (asked.empty() ? "" : ", ") + table;
      message += "\nThe dictionary " + *dictionary + " has no <tab name=\"...\"> for one of the " +
                 "tables asked for (" + asked + ").";
    }
    throw ToolError(message, result.ExitStatus());
  }
  std::cout << "Exported " << ShownPath(session.model()) << " into " << ShownPath(*database)
            << ".\n";
  PrintExportSummary(std::cout, *database, tables, "  ");
  return kExitOk;
}

}  // namespace harbolt_cli
