// The table "Equation": indexes, texts, sides split at "=", values and
// suppression; texts that do not split into two sides still have their row.
#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

class EquationExportTest : public ExportTest {};

TEST_F(EquationExportTest, EveryColumnOfThePartsEquations) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Equation"));
  EXPECT_EQ(
      (Row{"equIndex", "equation", "equLeft", "equRight", "equValue", "suppression", "DADU_flag"}),
      Columns(u"DADU_3_Equation"));
  EXPECT_EQ(
      (std::vector<Row>{
          {"0", "\"Width\" = 120", "\"Width\" ", " 120", "120", "0", "0"},
          {"1", "\"D1@Sketch1\" = \"Width\"", "\"D1@Sketch1\" ", " \"Width\"", "120", "0", "0"},
          {"2", "\"D1@Boss-Extrude1\" = \"Width\" / 4", "\"D1@Boss-Extrude1\" ", " \"Width\" / 4",
           "30", "0", "0"},
          {"3", "\"D2@Sketch1\" = 80", "\"D2@Sketch1\" ", " 80", "80", "-1", "0"},
      }),
      Rows(u"DADU_3_Equation"));
}

TEST_F(EquationExportTest, SidesOfUnusualTexts) {
  OpenModel("Equations.SLDPRT", R"json({"version": 1, "type": "part", "equations": [
    {"text": "=5"},
    {"text": "\"A\"=1"},
    {"text": "\"B\" =   2 "},
    {"text": "\"C\" ="},
    {"text": "no sides"},
    {"text": "\"D\" = iif(\"A\" = 1, 2, 3)"},
    {"text": "\"E\" = 'quoted' % \\ 中文"}]})json");
  ASSERT_EQ(S_OK, Export(u"Equation"));
  EXPECT_EQ((std::vector<Row>{
                {"0", "=5", "", "5"},
                {"1", "\"A\"=1", "\"A\"", "1"},
                {"2", "\"B\" =   2 ", "\"B\" ", "   2 "},
                {"3", "\"C\" =", "\"C\" ", ""},
                {"4", "no sides", "no sides", ""},
                {"5", "\"D\" = iif(\"A\" = 1, 2, 3)", "\"D\" ", " iif(\"A\" = 1, 2, 3)"},
                {"6", "\"E\" = 'quoted' % \\ 中文", "\"E\" ", " 'quoted' % \\ 中文"},
            }),
            Select("select equIndex,equation,equLeft,equRight from DADU_3_Equation "
                   "order by rowid"));
}

TEST_F(EquationExportTest, AnAssemblysEquationsAndNoneAtAll) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Equation"));
  EXPECT_EQ((std::vector<Row>{{"0", "\"Gap\" = 2", "\"Gap\" ", " 2", "2", "0", "0"},
                              {"1", "\"D1@Distance1\" = \"Gap\" + 3", "\"D1@Distance1\" ",
                               " \"Gap\" + 3", "5", "0", "0"}}),
            Rows(u"DADU_3_Equation"));
  Open("Gearbox.SLDDRW");
  ASSERT_EQ(S_OK, Export(u"Equation"));
  EXPECT_TRUE(Rows(u"DADU_3_Equation").empty());
}

TEST_F(EquationExportTest, HostFailuresEndTheExport) {
  Open("Housing.SLDPRT");
  host_.FailCall("IEquationMgr.Suppression#2");
  EXPECT_EQ(S_FALSE, Export(u"Equation,Feature"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::ExportEquation() error: IEquationMgr.Suppression failed (0x80004005): "
      u"IEquationMgr.Suppression failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  host_.ClearFaults();
  host_.EmptyCall("IModelDoc2.GetEquationMgr");
  EXPECT_EQ(S_FALSE, Export(u"Equation"));
  EXPECT_EQ(u"CSldToDb::ExportEquation() error: IHostEquationManager::GetCount: no object\n",
            errDescription_);
}

}  // namespace
}  // namespace export_test
