// The --tables list.
#include "tools/harbolt/table_list.h"

#include <gtest/gtest.h>

#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

using Names = std::vector<std::string>;

std::string UsageMessage(const std::string& text) {
  try {
    ParseTableList(text);
  } catch (const UsageError& error) {
    return error.what();
  }
  return "<accepted>";
}

TEST(TableListTest, ReadsTheSevenLogicalNames) {
  EXPECT_EQ(
      (Names{"Feature", "Dimension", "Equation", "Config", "Parameter", "Componen", "property"}),
      ParseTableList(std::nullopt));
  EXPECT_EQ((Names{"Dimension", "Feature"}), ParseTableList("Dimension,Feature"));
  // Blanks around names, empty pieces and repeated names are forgiven.
  EXPECT_EQ((Names{"Config", "property"}), ParseTableList(" Config ,,property, Config,"));
  EXPECT_EQ("Config,property", JoinTables({"Config", "property"}));
  EXPECT_EQ("DADU_3_Componen", StoredTableName("Componen"));
}

TEST(TableListTest, NamesTheTablesWhenOneIsUnknown) {
  const std::string all =
      "; the tables are Feature, Dimension, Equation, Config, Parameter, Componen, property "
      "(names are case-sensitive)";
  EXPECT_EQ("unknown table name \"Component\" (did you mean \"Componen\"?)" + all,
            UsageMessage("Feature,Component"));
  EXPECT_EQ("unknown table name \"Property\" (did you mean \"property\"?)" + all,
            UsageMessage("Property"));
  EXPECT_EQ("unknown table name \"Sheets\"" + all, UsageMessage("Sheets"));
  EXPECT_EQ(
      "--tables names no table; the tables are Feature, Dimension, Equation, Config, "
      "Parameter, Componen, property",
      UsageMessage(" , "));
  EXPECT_EQ(
      "--tables names no table; the tables are Feature, Dimension, Equation, Config, "
      "Parameter, Componen, property",
      UsageMessage(""));
}

}  // namespace
}  // namespace harbolt_cli
