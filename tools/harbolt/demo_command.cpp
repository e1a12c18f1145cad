// harbolt demo: the whole round trip on the bundled sample, in a folder of
// its own: connect, dictionary, menus and a click, export, the caller's
// changes, import, save, export again, and what changed.
#include <fstream>
#include <iostream>
#include <system_error>

#include "platform/text.h"
#include "tools/harbolt/caller_database.h"
#include "tools/harbolt/caller_steps.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/host_menus.h"
#include "tools/harbolt/session.h"
#include "tools/harbolt/table_diff.h"
#include "tools/harbolt/table_list.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

using automation::Arg;

constexpr OptionSpec kOptions[] = {{"dir"}, kModuleOption};

// Left in a folder the demo made, so that a later run may empty it again.
constexpr char kMarker[] = ".harbolt-demo";
constexpr char kDefaultFolder[] = "harbolt-demo";
constexpr char kModel[] = "Gearbox.SLDASM";
constexpr int kClickedCommand = 1;

// What the demo changes in its copy of the exported database, as a
// data-management client would: new values, and DADU_flag saying what to do
// with each row (1 added, 2 changed, 3 deleted). The sample's one assembly
// dimension, D1@Distance1, is driven by an equation, so its value changes
// the way the model wants it changed: its equation is replaced.
struct DemoEdit {
  const char* table;
  const char* row;
  const char* change;
  const char* sql;
};

constexpr DemoEdit kEdits[] = {
    {"Feature", "Housing-1", "flag 2, description \"Gearbox housing\"",
     "update DADU_3_Feature set description = 'Gearbox housing', DADU_flag = 2 "
     "where featName = 'Housing-1'"},
    {"Equation", "\"D1@Distance1\" = \"Gap\" + 3", "flag 3",
     "update DADU_3_Equation set DADU_flag = 3 where equation = '\"D1@Distance1\" = \"Gap\" + 3'"},
    {"Equation", "\"D1@Distance1\" = \"Gap\" + 6", "flag 1, a new row",
     "insert into DADU_3_Equation (equIndex, equation, equLeft, equRight, equValue, suppression, "
     "DADU_flag) select max(equIndex) + 1, '\"D1@Distance1\" = \"Gap\" + 6', "
     "'\"D1@Distance1\" ', ' \"Gap\" + 6', 8, 0, 1 from DADU_3_Equation"},
    {"Config", "Compact", "flag 2, description \"Compact: short shafts\"",
     "update DADU_3_Config set description = 'Compact: short shafts', DADU_flag = 2 "
     "where configName = 'Compact'"},
    {"Parameter", "Default / Housing-1 / D1@Boss-Extrude1", "flag 2, paramValue 35.0mm",
     "update DADU_3_Parameter set paramValue = '35.0mm', DADU_flag = 2 where configName = "
     "'Default' and compName = 'Housing-1' and paramName = 'D1@Boss-Extrude1'"},
    {"property", "Default / Gearbox / Revision", "flag 2, propertyValue B",
     "update DADU_3_property set propertyValue = 'B', DADU_flag = 2 where configName = "
     "'Default' and compName = 'Gearbox' and propertyName = 'Revision'"},
};

bool IsEmptyFolder(const std::filesystem::path& folder) {
  std::error_code ignored;
  return std::filesystem::is_empty(folder, ignored);
}

// Empties a folder an earlier demo made.
void Empty(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::filesystem::remove_all(entry.path());
  }
}

// The folder to work in: the one asked for, or harbolt-demo (then
// harbolt-demo-2, ...) in the current folder. A folder that exists must be
// empty or made by an earlier demo (it is emptied).
std::filesystem::path PrepareFolder(const std::optional<std::string>& asked) {
  std::error_code error;
  auto usable = [&](const std::filesystem::path& folder) {
    if (!std::filesystem::exists(folder, error)) return true;
    if (!std::filesystem::is_directory(folder, error)) return false;
    return IsEmptyFolder(folder) || std::filesystem::exists(folder / kMarker, error);
  };
  std::filesystem::path folder;
  if (asked) {
    folder = *asked;
    if (!usable(folder)) {
      throw ToolError("the folder " + folder.string() +
                      " is not empty and not one an earlier demo made; choose another with --dir");
    }
  } else {
    folder = kDefaultFolder;
    for (int n = 2; !usable(folder); ++n) {
      if (n > 99) throw ToolError("no free folder for the demo; choose one with --dir");
      folder = std::string(kDefaultFolder) + "-" + std::to_string(n);
    }
  }
  std::filesystem::create_directories(folder, error);
  if (error) throw ToolError("cannot create " + folder.string() + ": " + error.message());
  folder = std::filesystem::absolute(folder).lexically_normal();
  Empty(folder);
  std::ofstream(folder / kMarker) << "made by harbolt demo; emptied by the next run\n";
  return folder;
}

void CopySample(const std::filesystem::path& sample, const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(sample)) {
    if (entry.is_regular_file()) {
      std::filesystem::copy_file(entry.path(), folder / entry.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
}

void Require(const CallResult& result) {
  if (!result.ok()) throw ToolError(result.Describe(), result.ExitStatus());
}

// Applies the edits to the copy; each must change exactly one row.
void ApplyEdits(const std::filesystem::path& database) {
  CallerDatabase db(database, CallerDatabase::Mode::kReadWrite);
  for (const DemoEdit& edit : kEdits) {
    if (db.Execute(edit.sql) != 1) {
      throw ToolError(std::string("the demo's change of ") + edit.table + " " + edit.row +
                      " found no row: the sample in use is not the bundled one");
    }
  }
}

void PrintEdits(std::ostream& out) {
  size_t tableWidth = 0;
  size_t rowWidth = 0;
  for (const DemoEdit& edit : kEdits) {
    tableWidth = std::max(tableWidth, DisplayWidth(edit.table));
    rowWidth = std::max(rowWidth, DisplayWidth(edit.row));
  }
  for (const DemoEdit& edit : kEdits) {
    out << "      " << edit.table << std::string(tableWidth - DisplayWidth(edit.table) + 2, ' ')
        << edit.row << std::string(rowWidth - DisplayWidth(edit.row) + 2, ' ') << edit.change
        << "\n";
  }
}

std::string FileNames(const std::vector<std::filesystem::path>& files) {
  std::string names;
  for (const auto& file : files) names += (names.empty() ? "" : ", ") + file.filename().string();
  return names.empty() ? "no file" : names;
}

// Step 4: the caller's menus, and a click that reaches the caller.
void ShowMenus(Session& session, const std::filesystem::path& menu, int step) {
  std::string definition = ReadTextFile(menu, "the menu definition");
  CallResult built = session.Call(u"CreateMenu", {Arg(platform::Utf8ToUtf16(definition))});
  if (built.hr == E_NOTIMPL) {
    std::cout << " " << step
              << ". Menus: skipped, this add-in build does not offer CreateMenu yet.\n";
    return;
  }
  Require(built);
  HostMenus menus(session);
  std::cout << " " << step << ". Built the caller's menus from menu.xml (CreateMenu); the host "
            << "shows:\n";
  menus.Print(std::cout, "    ");
  std::optional<HostMenus::Command> command = menus.Find(kClickedCommand);
  if (!command) throw ToolError("menu.xml has no command to click");
  if (!menus.Click(*command, std::cout, "    ")) {
    throw ToolError("the click on the menu command reached no caller");
  }
}

}  // namespace

const CommandSpec kDemoSpec{
    "demo",
    "Run the whole round trip on the bundled sample gearbox, in a folder of its own.",
    "[--dir DIR] [--module PATH]",
    "Copies examples/sample into a new folder and plays the data-management client\n"
    "against the add-in: connects it, sets the data dictionary, builds the menus and\n"
    "clicks a command, exports all seven tables with preview pictures, changes a few\n"
    "rows (a feature, a dimension through its equation: one deleted and one added, a\n"
    "configuration, a parameter, a property), imports them, saves the model, opens\n"
    "the saved files in a fresh host, exports again and shows what changed. The\n"
    "bundled files stay as they are.\n"
    "\n"
    "  --dir DIR      the folder to work in (default: harbolt-demo in the current\n"
    "                 folder); it must be empty or one an earlier demo made\n"
    "  --module PATH  the add-in module to load\n",
    0,
    0,
    kOptions,
};

int RunDemo(const CommandLine& line) {
  std::optional<std::filesystem::path> sample = FindSampleFolder();
  if (!sample) {
    throw ToolError(
        "the bundled sample (examples/sample of the source tree) was not found "
        "next to this program nor in " HARBOLT_SOURCE_DIR);
  }
  const ModuleChoice module = ChooseModule(line.Value("module"));
  const std::filesystem::path folder = PrepareFolder(line.Value("dir"));
  CopySample(*sample, folder);
  const std::filesystem::path model = folder / kModel;
  const std::filesystem::path dictionary = folder / "dictionary.xml";
  const std::filesystem::path previews = folder / "previews";
  const std::filesystem::path before = folder / "before.db";
  const std::filesystem::path edits = folder / "edits.db";
  const std::filesystem::path after = folder / "after.db";
  const std::vector<std::string> tables(std::begin(kLogicalTables), std::end(kLogicalTables));

  std::cout << "Harbolt demo: this program plays the data-management client (the caller) and\n"
               "drives the Harbolt add-in inside a simulated CAD host, on a copy of the sample\n"
               "gearbox model.\n"
            << "Working folder: " << folder.string() << "\n\n";

  bool saved = false;
  {
    Session session(model, module);
    std::cout << " 1. Started the simulated CAD host and opened " << kModel
              << ", an assembly, in it\n    (with the " << session.host().OpenDocuments().size() - 1
              << " model files it uses).\n"
              << " 2. The host loaded the add-in " << session.modulePath().string() << "\n"
              << "    through "
              << (session.registry().isPrivate() ? "a private registry" : "your registry")
              << " and connected it; the caller handed it its event source.\n";
    SetDictionary(session, dictionary);
    SetWorkFolder(session, previews);
    std::cout << " 3. Set the data dictionary (dictionary.xml) and the work folder (previews/).\n";
    ShowMenus(session, folder / "menu.xml", 4);

    Require(Export(session, tables, before));
    std::cout << " 5. The caller answered with an export of all seven tables into before.db "
                 "(RefreshTable):\n";
    PrintExportSummary(std::cout, before, tables, "    ");

    std::filesystem::copy_file(before, edits, std::filesystem::copy_options::overwrite_existing);
    ApplyEdits(edits);
    std::cout << " 6. Changed rows in edits.db (a copy of before.db) as the caller does, setting\n"
                 "    DADU_flag (1 added, 2 changed, 3 deleted):\n";
    PrintEdits(std::cout);
    std::cout << "    (D1@Distance1, the distance of a mate, is driven by an equation: to give it "
                 "the\n    value 8, the caller replaces the equation.)\n";

    CheckImportTables(session, edits, tables);
    Require(Import(session, tables, edits));
    std::cout << " 7. Imported the flagged rows into the open model (UpdateTable).\n";

    std::vector<std::filesystem::path> written;
    std::vector<std::filesystem::path> untouched;
    CallResult save = Save(session, &written, &untouched);
    if (save.hr == E_NOTIMPL) {
      std::cout << " 8. Save: skipped, this add-in build does not offer SaveFile yet.\n";
      Require(Export(session, tables, after));
      std::cout << " 9. Exported the changed model again, from the host's memory, into "
                   "after.db.\n";
    } else {
      Require(save);
      saved = true;
      std::cout << " 8. Saved the model (SaveFile); the host wrote back the files the import "
                   "changed:\n"
                << "      " << FileNames(written) << "\n";
      if (!untouched.empty()) {
        std::cout << "    and left alone the files whose rows held their values already:\n"
                  << "      " << FileNames(untouched) << "\n";
      }
    }
  }
  if (saved) {
    Session session(model, module);
    SetDictionary(session, dictionary);
    SetWorkFolder(session, previews);
    Require(Export(session, tables, after));
    std::cout << " 9. Opened the saved files in a fresh host and exported again into after.db.\n";
  }

  const std::string program = ShownPath(ExecutablePath());
  CallerDatabase old(before, CallerDatabase::Mode::kReadOnly);
  CallerDatabase now(after, CallerDatabase::Mode::kReadOnly);
  std::cout << "\nWhat changed in the model, from before.db to after.db:\n";
  TableDiff(old, now, tables).Print(std::cout, "  ");
  std::cout << "\nEverything is in " << ShownPath(folder)
            << ": the model files, before.db, edits.db, after.db, previews/.\n"
            << "Try the steps yourself: export, change rows of my.db (set DADU_flag), import:\n"
            << "  " << program << " export " << ShownPath(model) << " --dd "
            << ShownPath(dictionary) << " --db my.db\n"
            << "  " << program << " import " << ShownPath(model) << " --db my.db --save\n"
            << "and '" << program << " --help' for the other commands.\n";
  return kExitOk;
}

}  // namespace harbolt_cli
