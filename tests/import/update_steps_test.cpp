// The feature, dimension, equation and configuration steps on the active part.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Housing's equations: 0 "Width", 1 "D1@Sketch1", 2 "D1@Boss-Extrude1", 3 "D2@Sketch1" (= 80).
class UpdateStepsTest : public ImportTest {
 protected:
  void SetUp() override {
    OpenSample("Housing.SLDPRT");
    Tables();
  }
  void Equation(int index, const std::u16string& text, int flag, Value suppression = 0) {
    Row("Equation", {{"equIndex", index}, {"equation", text}, {"suppression", suppression}}, flag);
  }
  std::vector<std::u16string> Texts() {
    std::vector<std::u16string> texts;
    for (const sim::EquationModel& e : Model("Housing.SLDPRT").equations) texts.push_back(e.text);
    return texts;
  }
  void ExpectFailure(int number, const std::u16string& text) {
    EXPECT_EQ(number, errNumber);
    EXPECT_EQ(text, errDescription);
  }
};

TEST_F(UpdateStepsTest, ChangedFeatureRowsSetDescriptionAndInterfaceState) {
  Model("Housing.SLDPRT").features[4].fields.uiState = true;
  Row("Feature", {{"featName", u"Boss-Extrude1"}, {"description", u"基体 v2"}, {"uiState", 0}},
      kChanged);
  Row("Feature", {{"featName", u"Chamfer1"}, {"uiState", 5}}, kChanged);
  Row("Feature", {{"featName", u"Top Plane"}, {"uiState", -1}}, kChanged);
  Row("Feature", {{"featName", u"Origin"}, {"uiState", 0}}, kChanged);
  Row("Feature", {{"featName", u"Sketch1"}, {"description", u"profile"}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Feature"));
  std::vector<std::string> expected;
  for (const auto& [feature, description, state] : {std::tuple{"Boss-Extrude1", "基体 v2", "false"},
                                                    {"Chamfer1", "", "true"},
                                                    {"Top Plane", "", "true"},
                                                    {"Origin", "", "false"},
                                                    {"Sketch1", "profile", "false"}}) {
    const std::string item = std::string(" Housing.SLDPRT:") + feature;
    expected.push_back("IFeature.put_Description" + item + "(" + description + ")");
    expected.push_back("IFeature.SetUIState" + item + "(1, " + state + ")");
  }
  EXPECT_EQ(expected, Writes());
  EXPECT_FALSE(Model("Housing.SLDPRT").features[4].fields.uiState);
  EXPECT_EQ(77, errNumber);
}

TEST_F(UpdateStepsTest, ADimensionGetsItsValuesInTheFixedOrder) {
  Row("Dimension",
      {{"dimName", u"D1"},
       {"feature", u"Sketch1"},
       {"dimValue", 125.25},
       {"readOnly", -1},
       {"drivenState", 1},
       {"tolType", 3},
       {"tolMinVal", 125.0},
       {"tolMaxVal", 125.5}},
      kChanged);
  // The second dimension of a chamfer is found; NULL columns write zeros.
  Row("Dimension", {{"dimName", u"D2"}, {"feature", u"Chamfer1"}}, kChanged);
  // The host refuses the read-only flag's write; the later values are still written.
  ASSERT_EQ(S_FALSE, Import(u"Dimension"));
  ExpectFailure(-1,
                u"CDbToSld::Import():the host refused 1 value(s); the first: IDimension.ReadOnly "
                u"failed (0x80020003): the host has no such member (a release older than the one "
                u"it was added in?) for [D1@Sketch1]");
  EXPECT_THAT(
      Writes(),
      ElementsAre("IDimension.SetValue3 D1@Sketch1@Housing.SLDPRT(125.25, 1, empty)",
                  "IDimension.put_DrivenState D1@Sketch1@Housing.SLDPRT(1)",
                  "IDimensionTolerance.put_Type D1@Sketch1@Housing.SLDPRT(3)",
                  "IDimensionTolerance.SetValues2 D1@Sketch1@Housing.SLDPRT(125, 125.5, 1, empty)",
                  "IDimension.SetValue3 D2@Chamfer1@Housing.SLDPRT(0, 1, empty)",
                  "IDimension.put_DrivenState D2@Chamfer1@Housing.SLDPRT(0)",
                  "IDimensionTolerance.put_Type D2@Chamfer1@Housing.SLDPRT(0)",
                  "IDimensionTolerance.SetValues2 D2@Chamfer1@Housing.SLDPRT(0, 0, 1, empty)"));
  // A read-only dimension refuses the value (and the flag): the import fails.
  Execute(u"delete from 'DADU_3_Dimension'");
  Model("Housing.SLDPRT").dimensions[0].readOnly = true;  // D1@Sketch1
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Sketch1"}, {"dimValue", 140.0}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Dimension"));
  ExpectFailure(-1,
                u"CDbToSld::Import():the host refused 2 value(s); the first: IDimension.SetValue3 "
                u"failed (0x80070005): the dimension is read-only for [D1@Sketch1]");
  EXPECT_EQ(125.25, Model("Housing.SLDPRT").dimensions[0].value);
  host().EmptyCall("IDimension.Tolerance");
  ASSERT_EQ(S_FALSE, Import(u"Dimension"));
  ExpectFailure(-1,
                u"CDbToSld::Import() error: IHostDimension::GetTolerance gave no object "
                u"(hr=0x00000000)\n");
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "Import out error"));
}

// An item the document lacks ends the import without a message; earlier writes stay.
TEST_F(UpdateStepsTest, AnUnknownItemEndsTheImportWithoutAMessage) {
  struct Case {
    const char* name;
    std::u16string tables;
    std::vector<std::pair<std::string, std::vector<Cell>>> rows;
    std::string writes;                 // the calls kept
    std::vector<std::string> expected;  // ... and what they hold
    std::string notReached;
  };
  const auto dimension = [](const char16_t* name, const char16_t* feature, double value) {
    return std::pair<std::string, std::vector<Cell>>{
        "Dimension", {{"dimName", name}, {"feature", feature}, {"dimValue", value}}};
  };
  std::vector<Case> all = {
      {"configuration of another case",
       u"Config,Parameter",
       {{"Config", {{"configName", u"Heavy"}, {"comment", u"applied"}, {"bomPartNoSrc", 2}}},
        {"Config", {{"configName", u"heavy"}, {"comment", u"other case"}}},
        {"Config", {{"configName", u"Default"}, {"comment", u"not reached"}}},
        {"Parameter", {{"configName", u"Default"}, {"paramName", u"A"}, {"paramValue", u"1"}}}},
       "IConfiguration.put_Comment",
       {"IConfiguration.put_Comment Housing.SLDPRT:Heavy(applied)"},
       "IConfigurationManager."},
      {"feature of another case",
       u"Feature,Dimension",
       {{"Feature", {{"featName", u"Front Plane"}, {"description", u"first"}}},
        {"Feature", {{"featName", u"boss-extrude1"}, {"description", u"other case"}}},
        {"Feature", {{"featName", u"Origin"}, {"description", u"third"}}},
        dimension(u"D1", u"Sketch1", 99)},
       "IFeature.put_Description",
       {"IFeature.put_Description Housing.SLDPRT:Front Plane(first)"},
       "IDimension."},
      {"feature below another one",
       u"Feature",
       {{"Feature", {{"featName", u"Cut-Extrude1"}, {"description", u"hole"}}}},
       "IFeature.",
       {},
       ""},
  };
  for (const auto& [name, feature] :
       {std::pair<const char16_t*, const char16_t*>{u"", u"D1@Sketch1"},
        {u"d1", u"Sketch1"},
        {u"D1", u"Cut-Extrude1"},
        {u"D1", u"Sketch2"}}) {
    all.push_back({"dimension key",
                   u"Dimension",
                   {dimension(u"D2", u"Sketch1", 81), dimension(name, feature, 7),
                    dimension(u"D1", u"Boss-Extrude1", 7)},
                   "IDimension.SetValue3",
                   {"IDimension.SetValue3 D2@Sketch1@Housing.SLDPRT(81, 1, empty)"},
                   ""});
  }
  for (const Case& c : all) {
    SCOPED_TRACE(c.name);
    for (const char16_t* table : {u"Config", u"Parameter", u"Feature", u"Dimension"}) {
      Execute(u"delete from 'DADU_3_" + std::u16string(table) + u"'");
    }
    for (const auto& [table, cells] : c.rows) Row(table, cells, kChanged);
    ASSERT_EQ(S_FALSE, Import(c.tables));
    ExpectFailure(0, u"");
    EXPECT_EQ(c.expected, Writes(c.writes));
    if (!c.notReached.empty()) {
      EXPECT_THAT(Journal(c.notReached), IsEmpty());
    }
    EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
  }
}

TEST_F(UpdateStepsTest, AChangedConfigurationRowSetsTheFieldsInTheFixedOrder) {
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
  // NULL columns unlock and clear.
  Row("Config", {{"configName", u"Heavy"}, {"bomPartNoSrc", 2}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Config"));
  // Name, parent and type are never written.
  const char* fields[] = {"AlternateName", "BOMPartNoSource",      "Comment", "Description",
                          "Lock",          "UseAlternateNameInBOM"};
  const char* values[2][6] = {{"HSG-STD", "8", "Std", "标准外壳 v2", "true", "true"},
                              {"", "2", "", "", "false", "false"}};
  std::vector<std::string> expected;
  for (int c = 0; c < 12; ++c) {
    expected.push_back(std::string("IConfiguration.put_") + fields[c % 6] + " Housing.SLDPRT:" +
                       (c < 6 ? "Default(" : "Heavy(") + values[c / 6][c % 6] + ")");
  }
  EXPECT_EQ(expected, Writes());
}

TEST_F(UpdateStepsTest, EquationsChangedThenDeletedLargestFirstThenAdded) {
  Equation(1, u"\"D1@Sketch1\" = \"Width\" + 10", kChanged, 0);
  Equation(3, u"\"D2@Sketch1\" = 80", kChanged, 0);
  Equation(2, u"\"D1@Boss-Extrude1\" = \"Width\" / 4", kChanged, -1);
  Row("Equation", {{"equation", u"\"Width\" = 150"}}, kChanged);  // a NULL index: the first
  Equation(0, u"", kDeleted);
  Equation(2, u"", kDeleted);
  Equation(2, u"", kDeleted);  // deleted once: a second delete would take the next
  Equation(0, u"\"A\" = 1", kAdded);
  Equation(99, u"\"B\" = \"A\" * 2", kAdded);
  Equation(3, u"\"Width\" = 999", kUnchanged);
  Equation(1, u"\"D1@Sketch1\" = 1", 7);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_THAT(
      Writes(),
      ElementsAre("IEquationMgr.put_Equation Housing.SLDPRT(1, \"D1@Sketch1\" = "
                  "\"Width\" + 10)",
                  "IEquationMgr.put_Suppression Housing.SLDPRT(1, false)",
                  "IEquationMgr.put_Equation Housing.SLDPRT(3, \"D2@Sketch1\" = 80)",
                  "IEquationMgr.put_Suppression Housing.SLDPRT(3, false)",
                  "IEquationMgr.put_Equation Housing.SLDPRT(2, \"D1@Boss-Extrude1\" = "
                  "\"Width\" / 4)",
                  "IEquationMgr.put_Suppression Housing.SLDPRT(2, true)",
                  "IEquationMgr.put_Equation Housing.SLDPRT(0, \"Width\" = 150)",
                  "IEquationMgr.put_Suppression Housing.SLDPRT(0, false)",
                  "IEquationMgr.Delete Housing.SLDPRT(2)", "IEquationMgr.Delete Housing.SLDPRT(0)",
                  "IEquationMgr.Add2 Housing.SLDPRT(2, \"A\" = 1, true)",
                  "IEquationMgr.Add2 Housing.SLDPRT(3, \"B\" = \"A\" * 2, true)"));
  // The count is read before the first pass and again before the added one.
  EXPECT_THAT(Journal("IEquationMgr.GetCount"), ::testing::SizeIs(2));
  EXPECT_THAT(Texts(), ElementsAre(u"\"D1@Sketch1\" = \"Width\" + 10", u"\"D2@Sketch1\" = 80",
                                   u"\"A\" = 1", u"\"B\" = \"A\" * 2"));
  EXPECT_EQ(2, Model("Housing.SLDPRT").equations[3].value);
  EXPECT_EQ(77, errNumber);
}

TEST_F(UpdateStepsTest, EquationIndexesOutsideTheEquationsFailTheStep) {
  for (const Value& index : {Value(4), Value(-1), Value(100)}) {
    SCOPED_TRACE(index.index() == 1 ? std::get<int>(index) : 0);
    Execute(u"delete from 'DADU_3_Equation'");
    Equation(0, u"\"Width\" = 130", kChanged);
    Row("Equation", {{"equIndex", index}, {"equation", u"\"X\" = 1"}}, kChanged);
    Equation(2, u"\"D1@Boss-Extrude1\" = 1", kChanged);
    Equation(3, u"", kDeleted);
    ASSERT_EQ(S_FALSE, Import(u"Equation"));
    ExpectFailure(-1, u"CDbToSld::UpdateEquation():index cross the border");
    EXPECT_THAT(Writes(),
                ElementsAre("IEquationMgr.put_Equation Housing.SLDPRT(0, \"Width\" = 130)",
                            "IEquationMgr.put_Suppression Housing.SLDPRT(0, false)"));
    EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
  }
  // A deleted index outside deletes nothing.
  Execute(u"delete from 'DADU_3_Equation'");
  Equation(1, u"", kDeleted);
  Equation(4, u"", kDeleted);
  Equation(0, u"\"Late\" = 1", kAdded);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  ExpectFailure(-1, u"CDbToSld::UpdateEquation():index cross the border");
  EXPECT_THAT(Writes(), IsEmpty());
  // A negative index goes to the host, whose answer decides.
  Execute(u"delete from 'DADU_3_Equation'");
  Equation(2, u"", kDeleted);
  Equation(-1, u"", kDeleted);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  ExpectFailure(-1, u"CDbToSld::UpdateEquation():index cross the border");
  EXPECT_THAT(Writes(), ElementsAre("IEquationMgr.Delete Housing.SLDPRT(2)",
                                    "IEquationMgr.Delete Housing.SLDPRT(-1)"));
  // No equation at all: even a NULL index is outside.
  Execute(u"delete from 'DADU_3_Equation'");
  Row("Equation", {{"equation", u"\"Width\" = 150"}}, kChanged);
  Model("Housing.SLDPRT").equations.clear();
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  ExpectFailure(-1, u"CDbToSld::UpdateEquation():index cross the border");
}

TEST_F(UpdateStepsTest, EquationsTheHostRefusesFailTheStep) {
  Equation(0, u"Width 130", kChanged);
  Equation(1, u"", kDeleted);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  ExpectFailure(-1,
                u"CDbToSld::UpdateEquation() error: equation 0 not changed to Width 130 "
                u"(hr=0x80070057)\n");
  EXPECT_EQ(4u, Texts().size());
  // An added equation whose left side exists is refused; the later ones are not tried.
  Execute(u"delete from 'DADU_3_Equation'");
  Equation(0, u"\"New\" = 1", kAdded);
  Equation(0, u"\"Width\" = 5", kAdded);
  Equation(0, u"\"Other\" = 2", kAdded);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  ExpectFailure(-1,
                u"CDbToSld::UpdateEquation() error: equation 5 not added as \"Width\" = 5 "
                u"(hr=0x00000000)\n");
  EXPECT_EQ(u"\"New\" = 1", Texts().back());
  // A table without one of the selected columns fails the pass's query.
  Execute(u"drop table 'DADU_3_Equation'");
  Table("Equation", {"equIndex Integer", "equation Text"});
  Row("Equation", {{"equIndex", 0}, {"equation", u"\"Width\" = 5"}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  ExpectFailure(-1, u"CDbToSld::UpdateEquation():ExecQuery is failed");
  host().EmptyCall("IModelDoc2.GetEquationMgr");
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  ExpectFailure(-1,
                u"CDbToSld::UpdateEquation() error: IHostModelDoc::GetEquationManager gave no "
                u"object (hr=0x00000000)\n");
}

// Rows no step reads leave the host unasked but for the document and its type.
TEST_F(UpdateStepsTest, RowsNoStepReadsLeaveTheHostUnasked) {
  for (int flag : {kUnchanged, kAdded, kDeleted}) {
    Row("Config", {{"configName", u"Default"}, {"comment", u"x"}}, flag);
    Row("Feature", {{"featName", u"Boss-Extrude1"}, {"description", u"x"}}, flag);
  }
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Sketch1"}, {"dimValue", 1.0}}, kAdded);
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Sketch1"}, {"dimValue", 1.0}}, kDeleted);
  Row("Parameter", {{"configName", u"Default"}, {"paramName", u"A"}, {"paramValue", u"1"}},
      kDeleted);
  Row("property", {{"compName", u"Housing"}, {"propertyName", u"A"}, {"propertyValue", u"1"}},
      kDeleted);
  for (const char16_t* tables : {u"", u"Config", u"Feature,Dimension", u"Parameter", u"property"}) {
    SCOPED_TRACE(Utf8(tables));
    ASSERT_EQ(S_OK, Import(tables));
    EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                       "IModelDoc2.GetType Housing.SLDPRT()"));
    EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
    EXPECT_EQ(77, errNumber);
  }
  // Equations: three passes that find nothing write nothing.
  Equation(0, u"\"Width\" = 999", kUnchanged);
  Equation(1, u"\"D1@Sketch1\" = 1", 7);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_THAT(Writes(), IsEmpty());
}

}  // namespace
}  // namespace import_test
