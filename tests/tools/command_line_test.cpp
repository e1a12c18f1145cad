// The command line of a subcommand, read against its description.
#include "tools/harbolt/command_line.h"

#include <gtest/gtest.h>

#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

constexpr OptionSpec kOptions[] = {{"db"}, {"click", true, true}, {"save", false}};
constexpr CommandSpec kSpec{"try", "Tries.", "MODEL [--db DB]", "More.\n", 1, 1, kOptions};

CommandLine Read(std::vector<std::string> args) { return CommandLine(kSpec, args); }

std::string Problem(std::vector<std::string> args) {
  try {
    Read(args);
  } catch (const UsageError& error) {
    return error.what();
  }
  return "<accepted>";
}

TEST(CommandLineTest, ReadsOptionsAndPositionalArguments) {
  CommandLine line = Read({"--db", "a.db", "model", "--click=3", "--click", "4", "--save"});
  EXPECT_FALSE(line.helpRequested());
  EXPECT_EQ(std::vector<std::string>{"model"}, line.positional());
  EXPECT_EQ("a.db", line.Value("db"));
  EXPECT_EQ((std::vector<std::string>{"3", "4"}), line.Values("click"));
  EXPECT_TRUE(line.Has("save"));
  EXPECT_FALSE(Read({"m"}).Has("save"));
  EXPECT_EQ(std::nullopt, Read({"m"}).Value("db"));
  // After "--" everything is positional, even what looks like an option.
  EXPECT_EQ(std::vector<std::string>{"--db"}, Read({"--", "--db"}).positional());
  EXPECT_EQ(4, Read({"m", "--db", "4"}).IntValue("db", 0, 1, 9));
  EXPECT_EQ(7, Read({"m"}).IntValue("db", 7, 1, 9));
}

TEST(CommandLineTest, HelpWinsOverEverythingElse) {
  EXPECT_TRUE(Read({"--nonsense", "-h"}).helpRequested());
  EXPECT_TRUE(Read({"--help"}).helpRequested());
  EXPECT_FALSE(Read({"--", "-h"}).helpRequested());
  EXPECT_EQ("usage: harbolt try MODEL [--db DB]\n\nTries.\n\nMore.\n", HelpText(kSpec));
}

TEST(CommandLineTest, NamesWhatIsWrong) {
  EXPECT_EQ("the model file is missing", Problem({}));
  EXPECT_EQ("unexpected argument \"two\"", Problem({"one", "two"}));
  EXPECT_EQ("unknown option --dbx", Problem({"m", "--dbx", "x"}));
  EXPECT_EQ("unknown option -x", Problem({"m", "-x"}));
  EXPECT_EQ("--db needs a value", Problem({"m", "--db"}));
  EXPECT_EQ("--db is given more than once", Problem({"m", "--db", "a", "--db=b"}));
  EXPECT_EQ("--save takes no value", Problem({"m", "--save=1"}));
  EXPECT_EQ("<accepted>", Problem({"-"}));  // "-" is a name, as for stdin elsewhere
  try {
    Read({"m", "--db", "12x"}).IntValue("db", 0, 1, 9);
    FAIL();
  } catch (const UsageError& error) {
    EXPECT_STREQ("--db takes a whole number from 1 to 9, not \"12x\"", error.what());
    EXPECT_EQ(kExitUsage, error.status());
  }
  EXPECT_EQ(std::nullopt, ParseInt("10", 1, 9));
  EXPECT_EQ(std::nullopt, ParseInt(" 1", 1, 9));
  EXPECT_EQ(std::nullopt, ParseInt("", 1, 9));
  EXPECT_EQ(-3, ParseInt("-3", -5, 9));
}

}  // namespace
}  // namespace harbolt_cli
