// The names both sides of the database derive: stored table names, the model
// name in a component name and a title without its extension.
#include "hostutil/model_names.h"

#include <gtest/gtest.h>

namespace hostutil {
namespace {

TEST(ModelNamesTest, TableListsSplitAtEveryComma) {
  using Names = std::vector<std::u16string>;
  const std::pair<const char16_t*, Names> cases[] = {
      {u"", {}},
      {u"Feature", {u"Feature"}},
      {u"Feature,", {u"Feature"}},
      {u"Feature, Dimension", {u"Feature", u" Dimension"}},
      {u"Feature,,Dimension", {u"Feature", u"", u"Dimension"}},
      {u",x", {u"", u"x"}},
      {u",", {u""}}};
  for (const auto& [list, names] : cases) EXPECT_EQ(names, SplitTableList(list));
  EXPECT_EQ(u"DADU_3_Feature", MakeTableName(u"Feature"));
  EXPECT_EQ(u"DADU_3_", MakeTableName(u""));
}

TEST(ModelNamesTest, RealNameRunsFromTheLastSlashToTheLastDash) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {{u"Bolt-2", u"Bolt"},
                                                               {u"SubAsm-1/Bolt-2", u"Bolt"},
                                                               {u"Top-1/SubAsm-1/Bolt-12", u"Bolt"},
                                                               {u"Hex-Bolt-3", u"Hex-Bolt"},
                                                               {u"Bolt", u"Bolt"},
                                                               {u"SubAsm-1/Bolt", u"Bolt"},
                                                               {u"", u""},
                                                               {u"SubAsm-1/", u""},
                                                               {u"-1", u""},
                                                               {u"组件-1/轴承-2", u"轴承"}};
  for (const auto& [name, real] : cases) EXPECT_EQ(real, RealName(name));
}

TEST(ModelNamesTest, TitleBaseDropsOnlyTheLastExtension) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {{u"Plate.SLDPRT", u"Plate"},
                                                               {u"Plate.v2.SLDPRT", u"Plate.v2"},
                                                               {u"Plate", u"Plate"},
                                                               {u".SLDPRT", u""},
                                                               {u"", u""}};
  for (const auto& [title, base] : cases) EXPECT_EQ(base, TitleBase(title));
}

}  // namespace
}  // namespace hostutil
