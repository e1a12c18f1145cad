// The table "Dimension": keys without the document, each dimension once with
// the first feature entry that shows it, chamfer dimensions, exact values.
#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

class DimensionExportTest : public ExportTest {};

TEST_F(DimensionExportTest, EveryColumnOfThePartsDimensions) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Dimension"));
  // Only the dimension table: the feature list was built all the same.
  EXPECT_EQ((Row{"DADU_3_Dimension"}), Tables());
  EXPECT_EQ((Row{"dimFullName", "dimName", "feature", "featId", "dimValue", "sysValue", "dimType",
                 "dimParamType", "readOnly", "drivenState", "isReference", "tolType", "tolMinVal",
                 "tolMaxVal", "DADU_flag"}),
            Columns(u"DADU_3_Dimension"));
  EXPECT_EQ((std::vector<Row>{
                // Boss-Extrude1 (entry 5) shows its own dimension and Sketch1's D1.
                {"D1@Boss-Extrude1", "D1", "Boss-Extrude1", "5", "30", "0.03", "2", "0", "0", "2",
                 "0", "0", "0", "0", "0"},
                {"D1@Sketch1", "D1", "Sketch1", "5", "120", "0.12", "2", "0", "0", "2", "0", "2",
                 "-0.1", "0.1", "0"},
                // A chamfer dimension holds two.
                {"D1@Chamfer1", "D1", "Chamfer1", "7", "2", "0.002", "10", "0", "0", "2", "0", "0",
                 "0", "0", "0"},
                {"D2@Chamfer1", "D2", "Chamfer1", "7", "45", "0.7853981633974483", "10", "1", "0",
                 "2", "0", "0", "0", "0", "0"},
                // Sketch1 (entry 8): its D1 is known, its D2 is new.
                {"D2@Sketch1", "D2", "Sketch1", "8", "80", "0.08", "2", "0", "0", "2", "0", "0",
                 "0", "0", "0"},
                {"D1@Cut-Extrude1", "D1", "Cut-Extrude1", "9", "12.5", "0.0125", "6", "0", "0", "2",
                 "0", "3", "12.45", "12.55", "0"},
                {"D1@Sketch2", "D1", "Sketch2", "10", "40", "0.04", "2", "0", "-1", "2", "0", "0",
                 "0", "0", "0"},
            }),
            Rows(u"DADU_3_Dimension"));
}

TEST_F(DimensionExportTest, ADrawingsReferenceDimension) {
  Open("Gearbox.SLDDRW");
  ASSERT_EQ(S_OK, Export(u"Dimension,Feature"));
  EXPECT_EQ((std::vector<Row>{{"RD1@Drawing View1", "RD1", "Drawing View1", "1", "250", "0.25", "2",
                               "0", "-1", "1", "-1", "0", "0", "0", "0"}}),
            Rows(u"DADU_3_Dimension"));
  // The list order decides the creation order only; the feature list is
  // built once.
  EXPECT_EQ((Row{"DADU_3_Dimension", "DADU_3_Feature"}), Tables());
  EXPECT_EQ(1, CallCount("IModelDoc2.FirstFeature"));
  EXPECT_LT(FirstCall("IFeature.CreatedBy"), FirstCall("IDimension.FullName"));
}

TEST_F(DimensionExportTest, KeysDecideWhatIsWrittenOnce) {
  OpenModel("Keys.SLDPRT", R"json({"version": 1, "type": "part", "features": [
    {"name": "F1", "typeName": "T", "displayDimensions": [
      {"type": 2, "dimensions": ["D1@Chamfer1"]},
      {"type": 2, "dimensions": ["A@X"]},
      {"type": 2, "dimensions": ["a@x"]},
      {"type": 2, "dimensions": ["Single"]},
      {"type": 2, "dimensions": ["Bare"]},
      {"type": 2, "dimensions": ["Dup1"]},
      {"type": 2, "dimensions": ["Dup2"]}]},
    {"name": "Chamfer1", "typeName": "Chamfer", "displayDimensions": [
      {"type": 10, "dimensions": ["D1@Chamfer1", "D2@Chamfer1"]}]}],
   "dimensions": [
    {"name": "D1@Chamfer1", "value": 2},
    {"name": "D2@Chamfer1", "value": 45, "parameterType": 2},
    {"name": "A@X", "value": 1},
    {"name": "a@x", "value": 2},
    {"name": "Single", "fullName": "D7@Sketch9", "value": 3},
    {"name": "Bare", "fullName": "NoAtSign", "value": 4},
    {"name": "Dup1", "fullName": "D5@F@One.SLDPRT", "value": 5},
    {"name": "Dup2", "fullName": "D5@F@Two.SLDPRT", "value": 6}]})json");
  ASSERT_EQ(S_OK, Export(u"Dimension"));
  EXPECT_EQ((std::vector<Row>{{"D1@Chamfer1", "D1", "Chamfer1", "0", "2"},
                              {"A@X", "A", "X", "0", "1"},
                              {"a@x", "a", "x", "0", "2"},
                              {"D7", "", "D7", "0", "3"},
                              {"", "", "", "0", "4"},
                              {"D5@F", "D5", "F", "0", "5"}}),
            Select("select dimFullName,dimName,feature,featId,dimValue from DADU_3_Dimension "
                   "order by rowid"));
  // The chamfer's first key was known: its second dimension was not looked
  // at.
  EXPECT_EQ(0, CallCount("IDisplayDimension.GetDimension2") - CallCount("IDimension.FullName"));
  for (const sim::HostCall& call : host_.Calls()) {
    if (call.operation == "IDisplayDimension.GetDimension2") {
      EXPECT_EQ(u"0", call.arguments.at(0));
    }
  }
}

TEST_F(DimensionExportTest, ValuesAreStoredExactly) {
  Open("Housing.SLDPRT");
  Model().dimensions[1].value = 123.4567;  // D2@Sketch1
  Model().dimensions[3].toleranceMin = 12.4999999;
  ASSERT_EQ(S_OK, Export(u"Dimension"));
  EXPECT_EQ(
      (std::vector<Row>{{"123.4567", Shortest(123.4567 * sim::UnitMetres(Model()))}}),
      Select("select dimValue,sysValue from DADU_3_Dimension where dimFullName='D2@Sketch1'"));
  EXPECT_EQ((std::vector<Row>{{"12.4999999"}}),
            Select("select tolMinVal from DADU_3_Dimension where dimName='D1' and "
                   "feature='Cut-Extrude1'"));
}

TEST_F(DimensionExportTest, NoToleranceObjectLeavesTheToleranceColumnsEmpty) {
  Open("Housing.SLDPRT");
  host_.EmptyCall("IDimension.Tolerance#2");
  ASSERT_EQ(S_OK, Export(u"Dimension"));
  EXPECT_EQ((std::vector<Row>{{"D1@Boss-Extrude1", "0", "0", "0"},
                              {"D1@Sketch1", "NULL", "NULL", "NULL"}}),
            Select("select dimFullName,tolType,tolMinVal,tolMaxVal from DADU_3_Dimension "
                   "order by rowid limit 2"));
}

TEST_F(DimensionExportTest, HostFailuresEndTheExport) {
  Open("Housing.SLDPRT");
  host_.FailCall("IDimension.GetSystemValue3#3");
  EXPECT_EQ(S_FALSE, Export(u"Feature,Dimension"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::ExportDimension() error: IDimension.GetSystemValue3 failed (0x80004005): "
      u"IDimension.GetSystemValue3 failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  host_.ClearFaults();
  host_.FailCall("IFeature.GetNextDisplayDimension#1", E_INVALIDARG);
  EXPECT_EQ(S_FALSE, Export(u"Dimension"));
  EXPECT_EQ(
      u"CSldToDb::ExportDimension() error: IFeature.GetNextDisplayDimension failed (0x80070057): "
      u"IFeature.GetNextDisplayDimension failed in the simulated host\n",
      errDescription_);
}

}  // namespace
}  // namespace export_test
