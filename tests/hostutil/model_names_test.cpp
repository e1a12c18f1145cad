// The names both sides of the database derive: stored table names, the model
// name in a component name and a title without its extension.
#include "hostutil/model_names.h"

#include <gtest/gtest.h>

namespace hostutil {
namespace {

TEST(ModelNamesTest, TableListsSplitAtEveryComma) {
  using Names = std::vector<std::u16string>;
  EXPECT_EQ(Names{}, SplitTableList(u""));
  EXPECT_EQ((Names{u"Feature"}), SplitTableList(u"Feature"));
  EXPECT_EQ((Names{u"Feature"}), SplitTableList(u"Feature,"));
  EXPECT_EQ((Names{u"Feature", u" Dimension"}), SplitTableList(u"Feature, Dimension"));
  EXPECT_EQ((Names{u"Feature", u"", u"Dimension"}), SplitTableList(u"Feature,,Dimension"));
  EXPECT_EQ((Names{u"", u"x"}), SplitTableList(u",x"));
  EXPECT_EQ((Names{u""}), SplitTableList(u","));
}

TEST(ModelNamesTest, MakeTableNamePrefixesTheLogicalName) {
  EXPECT_EQ(u"DADU_3_Feature", MakeTableName(u"Feature"));
  EXPECT_EQ(u"DADU_3_Componen", MakeTableName(u"Componen"));
  EXPECT_EQ(u"DADU_3_property", MakeTableName(u"property"));
  EXPECT_EQ(u"DADU_3_", MakeTableName(u""));
}

TEST(ModelNamesTest, RealNameRunsFromTheLastSlashToTheLastDash) {
  EXPECT_EQ(u"Bolt", RealName(u"Bolt-2"));
  EXPECT_EQ(u"Bolt", RealName(u"SubAsm-1/Bolt-2"));
  EXPECT_EQ(u"Bolt", RealName(u"Top-1/SubAsm-1/Bolt-12"));
  EXPECT_EQ(u"Hex-Bolt", RealName(u"Hex-Bolt-3"));
  // No dash, or the last dash before the last slash: to the end.
  EXPECT_EQ(u"Bolt", RealName(u"Bolt"));
  EXPECT_EQ(u"Bolt", RealName(u"SubAsm-1/Bolt"));
  EXPECT_EQ(u"", RealName(u""));
  EXPECT_EQ(u"", RealName(u"SubAsm-1/"));
  EXPECT_EQ(u"", RealName(u"-1"));
  EXPECT_EQ(u"轴承", RealName(u"组件-1/轴承-2"));
}

TEST(ModelNamesTest, TitleBaseDropsOnlyTheLastExtension) {
  EXPECT_EQ(u"Plate", TitleBase(u"Plate.SLDPRT"));
  EXPECT_EQ(u"Plate.v2", TitleBase(u"Plate.v2.SLDPRT"));
  EXPECT_EQ(u"Plate", TitleBase(u"Plate"));
  EXPECT_EQ(u"", TitleBase(u".SLDPRT"));
  EXPECT_EQ(u"", TitleBase(u""));
}

}  // namespace
}  // namespace hostutil
