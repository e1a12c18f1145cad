// The table "Componen": the component tree per configuration with realName,
// parents, states, and preview pictures saved in the work directory.
#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

class ComponentExportTest : public ExportTest {
 protected:
  std::string Preview(const std::string& name) const {
    return Utf8(workDir_) + "/" + name + ".bmp";
  }
};

TEST_F(ComponentExportTest, TheTreeOfEveryConfigurationWithPreviews) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Componen"));
  EXPECT_EQ((Row{"configName", "compName", "realName", "refConfig", "parentComp", "compVisible",
                 "ConsStatus", "compSupState", "previewBitmap", "DADU_flag"}),
            Columns(u"DADU_3_Componen"));
  // A preview where the model file has the configuration being walked.
  EXPECT_EQ(
      (std::vector<Row>{
          {"Default", "", "", "Default", "NULL", "1", "3", "2", Preview(""), "0"},
          {"Default", "Housing-1", "Housing", "Default", "NULL", "1", "3", "3", Preview("Housing"),
           "0"},
          {"Default", "Shaft-1", "Shaft", "Long", "NULL", "1", "3", "3", "NULL", "0"},
          {"Default", "Shaft-2", "Shaft", "Short", "NULL", "1", "2", "3", "NULL", "0"},
          {"Default", "BearingSet-1", "BearingSet", "Default", "NULL", "1", "3", "3",
           Preview("BearingSet"), "0"},
          {"Default", "BearingSet-1/Bearing-1", "Bearing", "Default", "BearingSet-1", "1", "3", "3",
           Preview("Bearing"), "0"},
          {"Default", "BearingSet-1/Bearing-2", "Bearing", "Default", "BearingSet-1", "1", "2", "3",
           Preview("Bearing"), "0"},
          {"Compact", "", "", "Compact", "NULL", "1", "3", "2", Preview(""), "0"},
          {"Compact", "Housing-1", "Housing", "Heavy", "NULL", "1", "3", "3", "NULL", "0"},
          {"Compact", "Shaft-1", "Shaft", "Short", "NULL", "1", "3", "3", "NULL", "0"},
          // Suppressed and lightweight components are written, with what is
          // below them.
          {"Compact", "Shaft-2", "Shaft", "Short", "NULL", "0", "3", "0", "NULL", "0"},
          {"Compact", "BearingSet-1", "BearingSet", "Default", "NULL", "1", "3", "1", "NULL", "0"},
          {"Compact", "BearingSet-1/Bearing-1", "Bearing", "Default", "BearingSet-1", "1", "3", "1",
           "NULL", "0"},
          {"Compact", "BearingSet-1/Bearing-2", "Bearing", "Default", "BearingSet-1", "1", "2", "1",
           "NULL", "0"},
      }),
      Rows(u"DADU_3_Componen"));
  // The files are bitmaps; two instances of a model share one.
  for (const char* name : {"Housing", "BearingSet", "Bearing"}) {
    EXPECT_EQ("BM", testing_support::ReadFile(Preview(name)).substr(0, 2)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(Preview("Shaft")));
}

TEST_F(ComponentExportTest, ATrailingSeparatorOnTheWorkDirectoryAddsNoSecondOne) {
  Open("Gearbox.SLDASM");
  const std::u16string plain = workDir_;
  std::vector<std::vector<Row>> results;
  for (const std::u16string& dir : {plain, plain + u"/", plain + u"\\"}) {
    workDir_ = dir;
    ASSERT_EQ(S_OK, Export(u"Componen"));
    results.push_back(Select("select previewBitmap from DADU_3_Componen order by rowid"));
  }
  EXPECT_EQ(results[0], results[1]);
  EXPECT_EQ(Utf8(plain) + "/Housing.bmp", results[0][1][0]);
  EXPECT_EQ(Utf8(plain) + "\\Housing.bmp", results[2][1][0]);
  EXPECT_EQ(results[0].size(), results[2].size());
}

TEST_F(ComponentExportTest, WithoutAWorkDirectoryNoPreview) {
  Open("Gearbox.SLDASM");
  workDir_.clear();
  ASSERT_EQ(S_OK, Export(u"Componen"));
  EXPECT_EQ((std::vector<Row>{{"14", "0"}}),
            Select("select count(*),count(previewBitmap) from DADU_3_Componen"));
  EXPECT_EQ(0, CallCount("ISldWorks.GetPreviewBitmap"));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path() / "work"));
}

TEST_F(ComponentExportTest, APreviewTheHostCannotGiveIsLeftOut) {
  Open("Gearbox.SLDASM");
  host_.FailCall("ISldWorks.GetPreviewBitmap#2");
  host_.EmptyCall("ISldWorks.GetPreviewBitmap#3");
  ASSERT_EQ(S_OK, Export(u"Componen"));
  EXPECT_EQ((std::vector<Row>{{"", Preview("")}, {"Housing-1", "NULL"}}),
            Select("select compName,previewBitmap from DADU_3_Componen order by rowid limit 2"));
}

TEST_F(ComponentExportTest, PartsAndDrawingsHaveNoComponents) {
  Open("Gearbox.SLDDRW");
  ASSERT_EQ(S_OK, Export(u"Componen"));
  EXPECT_TRUE(Rows(u"DADU_3_Componen").empty());
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Componen"));
  EXPECT_EQ((Row{"DADU_3_Componen"}), Tables());
  EXPECT_TRUE(Rows(u"DADU_3_Componen").empty());
}

TEST_F(ComponentExportTest, HostFailuresEndTheExport) {
  Open("Gearbox.SLDASM");
  host_.FailCall("IComponent2.GetConstrainedStatus#4");
  EXPECT_EQ(S_FALSE, Export(u"Componen"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::ExportComponent() error: IComponent2.GetConstrainedStatus failed (0x80004005): "
      u"IComponent2.GetConstrainedStatus failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  host_.ClearFaults();
  host_.FailCall("IComponent2.GetChildren#2");
  EXPECT_EQ(S_FALSE, Export(u"Componen"));
  EXPECT_EQ(
      u"CSldToDb::ExportComponent() error: IComponent2.GetChildren failed (0x80004005): "
      u"IComponent2.GetChildren failed in the simulated host\n",
      errDescription_);
}

}  // namespace
}  // namespace export_test
