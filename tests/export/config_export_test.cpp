// The table "Config": one row per configuration in the host's order, parents
// of derived configurations only, the configuration type by host revision.
#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

class ConfigExportTest : public ExportTest {};

TEST_F(ConfigExportTest, EveryColumnOfThePartsConfigurations) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Config"));
  EXPECT_EQ((Row{"configName", "parentConfig", "alternateName", "configType", "bomPartNoSrc",
                 "comment", "description", "isLock", "useAlterInBom", "DADU_flag"}),
            Columns(u"DADU_3_Config"));
  EXPECT_EQ((std::vector<Row>{
                {"Default", "NULL", "", "0", "1", "Standard housing", "标准外壳", "0", "0", "0"},
                {"Heavy", "Default", "HSG-H", "1", "8", "Thicker walls", "加厚型", "-1", "-1", "0"},
            }),
            Rows(u"DADU_3_Config"));
  // The top-level configuration's insert names no parent column.
  EXPECT_EQ(1, CallCount("IConfiguration.Name"));
}

TEST_F(ConfigExportTest, AssemblyAndDrawingConfigurations) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Config"));
  EXPECT_EQ((std::vector<Row>{{"Default", "NULL", "", "0", "1", "", "Full gearbox", "0", "0", "0"},
                              {"Compact", "Default", "", "0", "1", "", "紧凑型", "0", "0", "0"}}),
            Rows(u"DADU_3_Config"));
  Open("Gearbox.SLDDRW");
  ASSERT_EQ(S_OK, Export(u"Config"));
  EXPECT_EQ((std::vector<Row>{{"Default", "NULL", "", "0", "1", "", "", "0", "0", "0"}}),
            Rows(u"DADU_3_Config"));
}

TEST_F(ConfigExportTest, TheTypeIsReadFromHostsAboveRevision18Point4) {
  Open("Housing.SLDPRT");
  struct Case {
    const char16_t* revision;
    const char* heavyType;
  };
  for (const Case& c : {Case{u"20.3.0", "1"}, Case{u"18.4", "1"}, Case{u"18.4.0", "1"},
                        Case{u"18.3.9", "0"}, Case{u"18", "0"}}) {
    host_.SetRevision(c.revision);
    host_.ClearCalls();
    ASSERT_EQ(S_OK, Export(u"Config"));
    EXPECT_EQ((std::vector<Row>{{"0"}, {c.heavyType}}),
              Select("select configType from DADU_3_Config order by rowid"))
        << Utf8(c.revision);
    EXPECT_EQ(c.heavyType[0] == '1' ? 2 : 0, CallCount("IConfiguration.Type"));
  }
}

TEST_F(ConfigExportTest, HostFailuresEndTheExport) {
  Open("Housing.SLDPRT");
  host_.FailCall("IConfiguration.Description#2");
  EXPECT_EQ(S_FALSE, Export(u"Config"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::ExportConfig() error: IConfiguration.Description failed (0x80004005): "
      u"IConfiguration.Description failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  // A parent the host cannot report is no top-level configuration.
  host_.ClearFaults();
  host_.FailCall("IConfiguration.GetParent#2");
  EXPECT_EQ(S_FALSE, Export(u"Config"));
  EXPECT_EQ(
      u"CSldToDb::ExportConfig() error: IConfiguration.GetParent failed (0x80004005): "
      u"IConfiguration.GetParent failed in the simulated host\n",
      errDescription_);

  host_.ClearFaults();
  host_.FailCall("IModelDoc2.GetConfigurationNames");
  EXPECT_EQ(S_FALSE, Export(u"Config"));
  EXPECT_EQ(
      u"CSldToDb::ExportConfig() error: IModelDoc2.GetConfigurationNames failed (0x80004005): "
      u"IModelDoc2.GetConfigurationNames failed in the simulated host\n",
      errDescription_);
}

}  // namespace
}  // namespace export_test
