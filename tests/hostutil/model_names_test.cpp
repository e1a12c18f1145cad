// The names both sides of the database derive: tables, a component's model, a title's base.
#include "hostutil/model_names.h"

#include <gtest/gtest.h>

namespace hostutil {
namespace {

// Each name's result, joined by "|".
template <typename Function>
std::u16string Each(Function function, std::initializer_list<const char16_t*> names) {
  std::u16string results;
  for (const char16_t* name : names) results += std::u16string(function(name)) + u"|";
  return results;
}

TEST(ModelNamesTest, TableListsSplitAtEveryCommaIntoStoredNames) {
  const auto split = [](const char16_t* list) {
    std::u16string names = u"[";
    for (const std::u16string& name : SplitTableList(list)) names += MakeTableName(name) + u";";
    return names + u"]";
  };
  EXPECT_EQ(
      u"[]|[DADU_3_Feature;]|[DADU_3_Feature;]|[DADU_3_Feature;DADU_3_ Dimension;]|"
      u"[DADU_3_Feature;DADU_3_;DADU_3_Dimension;]|[DADU_3_;DADU_3_x;]|[DADU_3_;]|",
      Each(split, {u"", u"Feature", u"Feature,", u"Feature, Dimension", u"Feature,,Dimension",
                   u",x", u","}));
}

TEST(ModelNamesTest, RealNameRunsFromTheLastSlashToTheLastDash) {
  EXPECT_EQ(
      u"Bolt|Bolt|Bolt|Hex-Bolt|Bolt|Bolt||||轴承|",
      Each(RealName, {u"Bolt-2", u"SubAsm-1/Bolt-2", u"Top-1/SubAsm-1/Bolt-12", u"Hex-Bolt-3",
                      u"Bolt", u"SubAsm-1/Bolt", u"", u"SubAsm-1/", u"-1", u"组件-1/轴承-2"}));
}

TEST(ModelNamesTest, TitleBaseDropsOnlyTheLastExtension) {
  EXPECT_EQ(u"Plate|Plate.v2|Plate|||",
            Each(TitleBase, {u"Plate.SLDPRT", u"Plate.v2.SLDPRT", u"Plate", u".SLDPRT", u""}));
}

}  // namespace
}  // namespace hostutil
