// The program as a whole: help, usage errors and their exit status.
#include <gtest/gtest.h>

#include "tests/tools/harbolt_runner.h"

namespace tools_test {
namespace {

constexpr const char* kCommands[] = {"demo", "export",   "import",     "menu",
                                     "deps", "register", "unregister", "gen"};

TEST(HarboltCliTest, HelpNamesEveryCommandAndTheExitStatuses) {
  HarboltRunner harbolt;
  for (const char* asked : {"--help", "-h", "help"}) {
    RunResult help = harbolt.Run({asked});
    EXPECT_EQ(0, help.status) << asked;
    EXPECT_EQ("", help.err);
    for (const char* command : kCommands) {
      EXPECT_TRUE(Contains(help.out, std::string("\n  ") + command + " ")) << command;
    }
    EXPECT_TRUE(Contains(help.out, "64 wrong usage"));
    EXPECT_TRUE(Contains(help.out, "0x80040200"));
  }
  // Without a command: the same help, on the error stream, as a usage error.
  RunResult none = harbolt.Run({});
  EXPECT_EQ(64, none.status);
  EXPECT_EQ("", none.out);
  EXPECT_TRUE(Contains(none.err, "usage: harbolt COMMAND [ARGUMENTS]"));
}

TEST(HarboltCliTest, EveryCommandHasItsHelp) {
  HarboltRunner harbolt;
  for (const char* command : kCommands) {
    RunResult help = harbolt.Run({command, "--help"});
    EXPECT_EQ(0, help.status) << command;
    EXPECT_TRUE(help.out.starts_with(std::string("usage: harbolt ") + command)) << help.out;
    EXPECT_EQ(help.out, harbolt.Run({"help", command}).out);
    // --help wins over anything else on the line.
    EXPECT_EQ(0, harbolt.Run({command, "--bogus", "-h"}).status) << command;
  }
  EXPECT_TRUE(Contains(harbolt.Run({"export", "--help"}).out, "--tables LIST"));
  EXPECT_TRUE(Contains(harbolt.Run({"import", "-h"}).out, "--save"));
  EXPECT_TRUE(Contains(harbolt.Run({"menu", "-h"}).out, "--click N"));
  EXPECT_TRUE(Contains(harbolt.Run({"gen", "-h"}).out, "--configurations N"));
}

TEST(HarboltCliTest, UsageErrorsExitWith64AndSayWhatIsWrong) {
  HarboltRunner harbolt;
  const std::string model = Sample("Gearbox.SLDASM").string();
  const std::string dictionary = Sample("dictionary.xml").string();
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"frobnicate"}, "harbolt: unknown command \"frobnicate\"; try 'harbolt --help'.\n"},
      {{"export"}, "harbolt export: the model file is missing\n"},
      {{"export", model, "--db", "x.db"}, "harbolt export: --dd DICTIONARY.xml is missing\n"},
      {{"export", model, "--dd", dictionary}, "harbolt export: --db OUT.db is missing\n"},
      {{"export", model, "--dd"}, "harbolt export: --dd needs a value\n"},
      {{"export", model, "--dd", "a", "--dd", "b", "--db", "x"},
       "harbolt export: --dd is given more than once\n"},
      {{"export", model, "other", "--dd", "a", "--db", "x"},
       "harbolt export: unexpected argument \"other\"\n"},
      {{"export", model, "--verbose"}, "harbolt export: unknown option --verbose\n"},
      {{"import", model}, "harbolt import: --db DB is missing\n"},
      {{"import", model, "--db", "x.db", "--save=yes"}, "harbolt import: --save takes no value\n"},
      {{"menu", model}, "harbolt menu: --menu MENU.xml is missing\n"},
      {{"menu", model, "--menu", "m.xml", "--click", "0"},
       "harbolt menu: --click takes a command number from 1 to 100, not \"0\"\n"},
      {{"deps"}, "harbolt deps: the model file is missing\n"},
      {{"register", "extra"}, "harbolt register: unexpected argument \"extra\"\n"},
      {{"gen"}, "harbolt gen: --out DIR is missing\n"},
      {{"gen", "--out", "g", "--depth", "x"},
       "harbolt gen: --depth takes a whole number from 0 to 8, not \"x\"\n"},
  };
  for (const Case& c : cases) {
    RunResult run = harbolt.Run(c.args);
    EXPECT_EQ(64, run.status) << c.message;
    EXPECT_EQ("", run.out) << c.message;
    EXPECT_TRUE(run.err.starts_with(c.message)) << run.err;
  }
  // A command's usage error repeats its usage line.
  EXPECT_TRUE(Contains(harbolt.Run({"deps"}).err,
                       "usage: harbolt deps MODEL [--module PATH]\nTry 'harbolt deps --help'.\n"));
}

TEST(HarboltCliTest, TableNamesAreCheckedBeforeAnythingRuns) {
  HarboltRunner harbolt;
  const std::string model = Sample("Gearbox.SLDASM").string();
  const std::string dictionary = Sample("dictionary.xml").string();
  RunResult run = harbolt.Run(
      {"export", model, "--dd", dictionary, "--db", "x.db", "--tables", "Feature,Component"});
  EXPECT_EQ(64, run.status);
  EXPECT_TRUE(run.err.starts_with(
      "harbolt export: unknown table name \"Component\" (did you mean \"Componen\"?); the tables "
      "are Feature, Dimension, Equation, Config, Parameter, Componen, property (names are "
      "case-sensitive)\n"))
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(harbolt / "x.db"));

  run = harbolt.Run({"import", model, "--db", "x.db", "--tables", "feature"});
  EXPECT_EQ(64, run.status);
  EXPECT_TRUE(Contains(run.err, "unknown table name \"feature\" (did you mean \"Feature\"?)"));
  EXPECT_EQ(64, harbolt.Run({"import", model, "--db", "x.db", "--tables", " , "}).status);
}

}  // namespace
}  // namespace tools_test
