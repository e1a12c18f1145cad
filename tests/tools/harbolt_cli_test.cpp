// The program run as a process: help, usage errors, and the messages and exit
// statuses of failing commands.
#include <gtest/gtest.h>

#include "tests/tools/harbolt_runner.h"

namespace tools_test {
namespace {

struct Case {
  std::vector<std::string> args;
  std::string message;  // The start of the error output.
};

// Runs every case in the runner's folder: nothing on the output, the status, the message.
void RunFailures(const HarboltRunner& harbolt, const std::vector<Case>& cases, int status = 1) {
  for (const Case& c : cases) {
    RunResult run = harbolt.Run(c.args);
    EXPECT_EQ(status, run.status) << c.message;
    EXPECT_EQ("", run.out) << c.message;
    EXPECT_TRUE(run.err.starts_with(c.message))
        << "expected: " << c.message << "\ngot: " << run.err;
  }
}

TEST(HarboltCliTest, HelpNamesEveryCommandAndEachCommandHasItsHelp) {
  HarboltRunner harbolt;
  const char* commands[] = {"demo", "export",   "import",     "menu",
                            "deps", "register", "unregister", "gen"};
  for (const char* asked : {"--help", "-h", "help"}) {
    RunResult help = harbolt.Run({asked});
    EXPECT_EQ(0, help.status) << asked;
    for (const char* command : commands) {
      EXPECT_TRUE(Contains(help.out, std::string("\n  ") + command + " ")) << command;
    }
    EXPECT_TRUE(Contains(help.out, "64 wrong usage") && Contains(help.out, "0x80040200"));
  }
  // Without a command: the help on the error stream, as a usage error.
  RunResult none = harbolt.Run({});
  EXPECT_EQ(64, none.status);
  EXPECT_EQ("", none.out);
  EXPECT_TRUE(Contains(none.err, "usage: harbolt COMMAND [ARGUMENTS]"));
  for (const char* command : commands) {
    RunResult help = harbolt.Run({command, "--bogus", "-h"});  // Help wins over the rest.
    EXPECT_EQ(0, help.status) << command;
    EXPECT_TRUE(help.out.starts_with(std::string("usage: harbolt ") + command)) << help.out;
    EXPECT_EQ(help.out, harbolt.Run({"help", command}).out);
  }
  EXPECT_TRUE(Contains(harbolt.Run({"export", "-h"}).out, "--tables LIST"));
}

TEST(HarboltCliTest, UsageErrorsExitWith64AndSayWhatIsWrong) {
  HarboltRunner harbolt;
  const std::string model = Sample("Gearbox.SLDASM").string();
  const std::string dd = Sample("dictionary.xml").string();
  const std::string tables =
      "; the tables are Feature, Dimension, Equation, Config, Parameter, Componen, property";
  RunFailures(
      harbolt,
      {
          {{"frobnicate"}, "harbolt: unknown command \"frobnicate\"; try 'harbolt --help'.\n"},
          {{"export"}, "harbolt export: the model file is missing\n"},
          {{"export", model, "--db", "x.db"}, "harbolt export: --dd DICTIONARY.xml is missing\n"},
          {{"export", model, "--dd", dd}, "harbolt export: --db OUT.db is missing\n"},
          {{"export", model, "--dd"}, "harbolt export: --dd needs a value\n"},
          {{"export", model, "--dd", "a", "--dd=b", "--db", "x"},
           "harbolt export: --dd is given more than once\n"},
          {{"export", model, "other", "--dd", "a", "--db", "x"},
           "harbolt export: unexpected argument \"other\"\n"},
          {{"export", model, "--verbose"}, "harbolt export: unknown option --verbose\n"},
          {{"export", model, "-x"}, "harbolt export: unknown option -x\n"},
          {{"export", model, "--dd", dd, "--db", "x.db", "--tables", "Feature,Component"},
           "harbolt export: unknown table name \"Component\" (did you mean \"Componen\"?)" +
               tables + " (names are case-sensitive)\n"},
          {{"import", model, "--db", "x.db", "--tables", "Property"},
           "harbolt import: unknown table name \"Property\" (did you mean \"property\"?)" + tables},
          {{"import", model, "--db", "x.db", "--tables", "Sheets"},
           "harbolt import: unknown table name \"Sheets\"" + tables},
          {{"import", model, "--db", "x.db", "--tables", " , "},
           "harbolt import: --tables names no table" + tables + "\n"},
          {{"import", model}, "harbolt import: --db DB is missing\n"},
          {{"import", model, "--db", "x.db", "--save=yes"},
           "harbolt import: --save takes no value\n"},
          {{"menu", model}, "harbolt menu: --menu MENU.xml is missing\n"},
          {{"menu", model, "--menu", "m.xml", "--click", "0"},
           "harbolt menu: --click takes a command number from 1 to 100, not \"0\"\n"},
          {{"deps"},
           "harbolt deps: the model file is missing\nusage: harbolt deps MODEL [--module PATH]\n"
           "Try 'harbolt deps --help'.\n"},
          {{"register", "extra"}, "harbolt register: unexpected argument \"extra\"\n"},
          {{"gen"}, "harbolt gen: --out DIR is missing\n"},
          {{"gen", "--out", "g", "--components", "0"},
           "harbolt gen: --components takes a whole number from 1 to 1000, not \"0\"\n"},
          {{"gen", "--out", "g", "--depth", "9"},
           "harbolt gen: --depth takes a whole number from 0 to 8, not \"9\"\n"},
          {{"gen", "--out", "g", "--features", "0", "--dimensions", "1"},
           "harbolt gen: dimensions need at least one feature"},
          {{"gen", "--out", "g", "--components", "1000", "--depth", "3"},
           "harbolt gen: components^depth must not exceed 1000000"},
      },
      64);
  EXPECT_FALSE(std::filesystem::exists(harbolt / "x.db"));
  EXPECT_FALSE(std::filesystem::exists(harbolt / "g"));
}

TEST(HarboltCliTest, ExplainsMissingAndBrokenInputs) {
  HarboltRunner harbolt;
  WriteFile(harbolt / "Broken.SLDPRT", "{\"type\": \"part\",\n");
  WriteFile(harbolt / "Wrong.SLDPRT", "{\"type\": \"assembly\"}");
  WriteFile(harbolt / "broken.xml", "<dd><tabs>");
  WriteFile(harbolt / "file.txt", "");
  // A dictionary without the table "Componen".
  WriteFile(harbolt / "partial.xml",
            "<dd><tabs><tab name=\"Config\"><flds><fld name=\"configName\" dt=\"4\"/></flds>"
            "</tab></tabs></dd>");
  WriteFile(harbolt / "text.db", "not a database at all, just some text\n");
  WriteFile(harbolt / "menu.xml", "<mnus caption=\"x\">");
  WriteFile(harbolt / "rootless.xml", "<menu caption=\"x\"/>");
  const std::string dd = Sample("dictionary.xml").string();
  const std::string model = Sample("Gearbox.SLDASM").string();
  const std::string folder = harbolt.dir().string();
  RunFailures(
      harbolt,
      {
          {{"export", "Nope.SLDASM", "--dd", dd, "--db", "x.db"},
           "harbolt export: the model file Nope.SLDASM does not exist\n"},
          {{"export", "Broken.SLDPRT", "--dd", dd, "--db", "x.db"},
           "harbolt export: the host cannot open the model:\n  " + folder +
               "/Broken.SLDPRT: line 2, column 1: broken JSON: "},
          {{"export", "Wrong.SLDPRT", "--dd", dd, "--db", "x.db"},
           "harbolt export: the host cannot open the model:\n  " + folder + "/Wrong.SLDPRT: "},
          {{"export", model, "--dd", "none.xml", "--db", "x.db"},
           "harbolt export: the dictionary none.xml does not exist\n"},
          {{"export", model, "--dd", "broken.xml", "--db", "x.db"},
           "harbolt export: the dictionary broken.xml is not well-formed XML (SetDD returned "
           "E_INVALIDARG)\n"},
          {{"export", model, "--dd", dd, "--db", "missing/x.db"},
           "harbolt export: cannot write the database missing/x.db: the folder " + folder +
               "/missing does not exist\n"},
          {{"export", model, "--dd", dd, "--db", "file.txt/x.db"},
           "harbolt export: cannot write the database file.txt/x.db: " + folder +
               "/file.txt is not a folder\n"},
          {{"export", model, "--dd", dd, "--db", folder},
           "harbolt export: cannot write the database " + folder + ": it is a folder\n"},
          {{"import", model, "--db", "nope.db"},
           "harbolt import: the database nope.db does not exist\n"},
          {{"import", model, "--db", "text.db"},
           "harbolt import: cannot read the database text.db: "},
          {{"deps", "Missing.SLDPRT"},
           "harbolt deps: the model file Missing.SLDPRT does not exist\n"},
          {{"deps", "--", "-"}, "harbolt deps: the model file - does not exist\n"},
          {{"menu", model, "--menu", "none.xml"},
           "harbolt menu: the menu definition none.xml does not exist\n"},
          {{"menu", model, "--menu", "menu.xml"},
           "harbolt menu: CreateMenu returned E_INVALIDARG (0x80070057): error 1: "
           "Document not parsed successfully.\n"},
          {{"menu", model, "--menu", "rootless.xml"},
           "harbolt menu: CreateMenu returned E_INVALIDARG (0x80070057): error -1: "
           "CHarbolt::CreateMenu():menuNode not exists\n"},
          {{"register", "--module", folder + "/none.so"},
           "harbolt register: the add-in module " + folder + "/none.so does not exist\n"},
          {{"export", model, "--dd", "partial.xml", "--db", "p.db", "--tables", "Config,Componen"},
           "harbolt export: RefreshTable returned S_FALSE: error -1: "
           "CSldToDb::CreateTable():tabNode is nothing\n"
           "The dictionary partial.xml has no <tab name=\"...\"> for one of the tables asked for "
           "(Config, Componen).\n"},
          // A dictionary whose columns the export cannot fill.
          {{"export", model, "--dd", "partial.xml", "--db", "p.db", "--tables", "Config"},
           "harbolt export: RefreshTable returned S_FALSE: error -1: CSldToDb::ExportConfig() "
           "error: "},
      });
  EXPECT_FALSE(std::filesystem::exists(harbolt / "x.db"));
  EXPECT_FALSE(std::filesystem::exists(harbolt / "nope.db"));
  // The failed exports were rolled back: the database holds no table.
  EXPECT_TRUE(TestDatabase(harbolt / "p.db").Tables().empty());
  RunResult run =
      harbolt.Run({"menu", model, "--menu", Sample("menu.xml").string(), "--click", "5"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("harbolt menu: there is no command 5 in the menus (their commands are 1 to 4)\n",
            run.err);
  // A command whose id the click cannot find again (leading zeros) sends nothing.
  WriteFile(harbolt / "zeros.xml",
            "<mnus caption=\"Z\"><mnu id=\"007\" caption=\"Seven\"/></mnus>");
  run = harbolt.Run({"menu", model, "--menu", "zeros.xml", "--click", "1"});
  EXPECT_EQ(1, run.status);
  EXPECT_TRUE(Contains(run.out,
                       "Clicked 1 \"Seven\": the caller received nothing "
                       "(ToolbarCallback100 returned S_FALSE)\n"))
      << run.out;
}

TEST(HarboltCliTest, RegisteredModulesAreLoadedByLaterRuns) {
  HarboltRunner harbolt(HarboltRunner::Registry::kEmpty);
  const std::string registry = harbolt.RegistryFile().string();
  RunResult run = harbolt.Run({"unregister"});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("The add-in is not registered in " + registry + "; nothing to remove.\n", run.out);
  // HARBOLT_REGISTRY names another registry.
  const std::filesystem::path other = harbolt / "other.registry";
  run = harbolt.Run({"register"}, {}, {"HARBOLT_REGISTRY=" + other.string()});
  EXPECT_TRUE(Contains(run.out, " in " + other.string() + ".\n")) << run.out;
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_FALSE(std::filesystem::exists(harbolt.RegistryFile()));

  // A copy of the module, registered and then taken away: the runs that
  // follow go to the registered module and fail to load it.
  std::filesystem::create_directories(harbolt / "copy");
  const std::filesystem::path copy = harbolt / "copy" / "libharbolt-copy.so";
  std::filesystem::copy_file(HARBOLT_MODULE_PATH, copy);
  run = harbolt.Run({"register", "--module", copy.string()});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Registered the add-in " + copy.string() + " in " + registry + ".\n", run.out);
  const std::string entries = ReadFile(registry);
  EXPECT_TRUE(Contains(entries, "SolidWorks\\AddIns\\{1C227C16-C127-4F54-B26C-EF8F2BA2448D}"));
  EXPECT_TRUE(Contains(entries, copy.string()));
  const std::string housing = Sample("Housing.SLDPRT").string();
  EXPECT_EQ(0, harbolt.Run({"deps", housing}).status);
  std::filesystem::remove(copy);
  RunFailures(harbolt, {{{"deps", housing},
                         "harbolt deps: the add-in module " + copy.string() +
                             " (registered in your registry " + registry +
                             ") does not load\nRegister the module you built with 'harbolt "
                             "register', or remove the entry with 'harbolt unregister'.\n"}});
  // Unregistering goes through the built module when the registered one is
  // gone; afterwards every run registers privately again.
  run = harbolt.Run({"unregister"});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Removed the add-in " + copy.string() + " from " + registry + ".\n", run.out);
  EXPECT_FALSE(Contains(ReadFile(registry), "AddIns\\{1C227C16"));
  EXPECT_EQ(0, harbolt.Run({"deps", housing}).status);
}

}  // namespace
}  // namespace tools_test
