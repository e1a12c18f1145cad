// The configuration step: changed rows of the table Config written to the
// configuration they name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ConfigUpdateTest : public ImportTest {
 protected:
  // Housing's configurations: Default, and Heavy (derived from Default,
  // locked, alternate name HSG-H used in the bill of materials).
  void SetUp() override {
    OpenSample("Housing.SLDPRT");
    Tables();
  }
  sim::ConfigurationModel& Configuration(size_t index) {
    return Model("Housing.SLDPRT").configurations[index];
  }
};

TEST_F(ConfigUpdateTest, AChangedRowSetsTheFieldsInTheFixedOrder) {
  Row("Config",
      {{"configName", u"Default"},
       {"parentConfig", u"Heavy"},
       {"alternateName", u"HSG-STD"},
       {"configType", 1},
       {"bomPartNoSrc", 8},
       {"comment", u"Std"},
       {"description", u"标准外壳 v2"},
       {"isLock", -1},
       {"useAlterInBom", 1}},
      kChanged);
  ASSERT_EQ(S_OK, Import(u"Config"));
  EXPECT_THAT(Journal("IConfiguration.put_"),
              ElementsAre("IConfiguration.put_AlternateName Housing.SLDPRT:Default(HSG-STD)",
                          "IConfiguration.put_BOMPartNoSource Housing.SLDPRT:Default(8)",
                          "IConfiguration.put_Comment Housing.SLDPRT:Default(Std)",
                          "IConfiguration.put_Description Housing.SLDPRT:Default(标准外壳 v2)",
                          "IConfiguration.put_Lock Housing.SLDPRT:Default(true)",
                          "IConfiguration.put_UseAlternateNameInBOM "
                          "Housing.SLDPRT:Default(true)"));
  const sim::ConfigurationModel& standard = Configuration(0);
  EXPECT_EQ(u"HSG-STD", standard.alternateName);
  EXPECT_EQ(8, standard.bomPartNumberSource);
  EXPECT_EQ(u"Std", standard.comment);
  EXPECT_EQ(u"标准外壳 v2", standard.description);
  EXPECT_TRUE(standard.locked);
  EXPECT_TRUE(standard.useAlternateNameInBom);
  // Name, parent and type are never written.
  EXPECT_EQ(u"Default", standard.name);
  EXPECT_EQ(u"", standard.parent);
  EXPECT_EQ(0, standard.type);
}

TEST_F(ConfigUpdateTest, NullColumnsUnlockAndClear) {
  Row("Config", {{"configName", u"Heavy"}, {"bomPartNoSrc", 2}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Config"));
  const sim::ConfigurationModel& heavy = Configuration(1);
  EXPECT_FALSE(heavy.locked);
  EXPECT_FALSE(heavy.useAlternateNameInBom);
  EXPECT_EQ(u"", heavy.comment);
  EXPECT_EQ(2, heavy.bomPartNumberSource);
  EXPECT_EQ(u"Default", heavy.parent);
}

TEST_F(ConfigUpdateTest, OnlyChangedRowsAreRead) {
  Row("Config", {{"configName", u"Default"}, {"comment", u"flag 0"}}, kUnchanged);
  Row("Config", {{"configName", u"Default"}, {"comment", u"flag 1"}}, kAdded);
  Row("Config", {{"configName", u"Default"}, {"comment", u"flag 3"}}, kDeleted);
  ASSERT_EQ(S_OK, Import(u"Config"));
  EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                     "IModelDoc2.GetType Housing.SLDPRT()"));
  EXPECT_EQ(u"Standard housing", Configuration(0).comment);
}

TEST_F(ConfigUpdateTest, AnUnknownConfigurationEndsTheStepWithoutAMessage) {
  Row("Config",
      {{"configName", u"Heavy"}, {"comment", u"applied"}, {"isLock", -1}, {"bomPartNoSrc", 2}},
      kChanged);
  Row("Config", {{"configName", u"heavy"}, {"comment", u"other case"}}, kChanged);
  Row("Config", {{"configName", u"Default"}, {"comment", u"not reached"}}, kChanged);
  Row("Parameter",
      {{"configName", u"Default"}, {"paramName", u"D1@Boss-Extrude1"}, {"paramValue", u"31.0mm"}},
      kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Config,Parameter"));
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"", errDescription);
  EXPECT_EQ(u"applied", Configuration(1).comment);
  EXPECT_EQ(u"Standard housing", Configuration(0).comment);
  EXPECT_THAT(Journal("IConfigurationManager."), IsEmpty());
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
}

}  // namespace
}  // namespace import_test
