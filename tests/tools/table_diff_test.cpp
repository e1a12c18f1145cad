// The before and after of two exports.
#include "tools/harbolt/table_diff.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/temp_dir.h"
#include "tests/tools/test_database.h"

namespace harbolt_cli {
namespace {

class TableDiffTest : public ::testing::Test {
 protected:
  void Both(const std::string& sql) {
    Before(sql);
    After(sql);
  }
  void Before(const std::string& sql) {
    tools_test::TestDatabase(dir_ / "b.db", true).Execute(sql);
  }
  void After(const std::string& sql) { tools_test::TestDatabase(dir_ / "a.db", true).Execute(sql); }
  std::string Diff(const std::vector<std::string>& tables) {
    CallerDatabase before(dir_ / "b.db", CallerDatabase::Mode::kReadOnly);
    CallerDatabase after(dir_ / "a.db", CallerDatabase::Mode::kReadOnly);
    std::ostringstream out;
    TableDiff(before, after, tables).Print(out, "> ");
    return out.str();
  }

  testing_support::TempDir dir_;
};

TEST_F(TableDiffTest, MatchesRowsByTheirKeysAndTellsWhatDiffers) {
  Both(
      "create table DADU_3_Equation (equIndex Integer, equation Text, equValue Real, "
      "DADU_flag Integer)");
  Before("insert into DADU_3_Equation values (0, '\"A\" = 1', 1, 0)");
  Before("insert into DADU_3_Equation values (1, '\"B\" = 2', 2, 0)");
  Before("insert into DADU_3_Equation values (2, '\"C\" = \"B\"', 2, 0)");
  // B deleted, so C moved up (its index is not compared) and got a new
  // value; D added; the flags differ everywhere (they are not compared).
  After("insert into DADU_3_Equation values (0, '\"A\" = 1', 1, 2)");
  After("insert into DADU_3_Equation values (1, '\"C\" = \"B\"', 3, 2)");
  After("insert into DADU_3_Equation values (2, '\"D\" = 4', 4, 1)");
  Both("create table DADU_3_Config (configName Text, description Text, DADU_flag Integer)");
  Before("insert into DADU_3_Config values ('Default', '底座', 0)");
  After("insert into DADU_3_Config values ('Default', NULL, 0)");

  EXPECT_EQ(
      "> Equation  \"B\" = 2    removed\n"
      "> Equation  \"C\" = \"B\"  equValue 2.0 -> 3.0\n"
      "> Equation  \"D\" = 4    added\n"
      "> Config    Default    description 底座 -> NULL\n",
      Diff({"Equation", "Config"}));
}

TEST_F(TableDiffTest, ComparesWholeRowsWithoutKnownKeysAndMissingTablesAsEmpty) {
  Both("create table DADU_3_Parameter (configName Text, paramValue Text, DADU_flag Integer)");
  Before("insert into DADU_3_Parameter values ('Default', '1', 0)");
  After("insert into DADU_3_Parameter values ('Default', '2', 0)");
  After("create table DADU_3_Feature (featName Text, DADU_flag Integer)");
  After("insert into DADU_3_Feature values ('', 0)");
  // The Parameter table lacks its key columns compName and paramName.
  EXPECT_EQ(
      "> Parameter  Default / 1  removed\n"
      "> Parameter  Default / 2  added\n"
      "> Feature    \"\"           added\n",
      Diff({"Parameter", "Feature"}));
  EXPECT_EQ("> (no differences)\n", Diff({"Config"}));
  EXPECT_EQ(4u, DisplayWidth("紧凑"));
  EXPECT_EQ(3u, DisplayWidth("a-b"));
}

}  // namespace
}  // namespace harbolt_cli
