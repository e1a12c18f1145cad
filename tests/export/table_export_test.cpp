// What each table export stores: every column, the row order, what is written once.
#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

using Texts = std::vector<std::string>;

class TableExportTest : public ExportTest {
 protected:
  std::string Preview(const std::string& name) const {
    return Utf8(workDir_) + "/" + name + ".bmp";
  }
};

TEST_F(TableExportTest, FeaturesOfAPartEveryColumn) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Feature"));
  EXPECT_EQ(
      (Texts{"0|Comments|CommentsFolder|NULL|NULL|||0||0|0||0|0|0|1|0|0|0",
             "1|Front Plane|RefPlane|NULL|NULL|zhang.wei|2024/03/01 09:15:22|0||0|0||0|0|0|1|0|0|0",
             "2|Top Plane|RefPlane|NULL|NULL|zhang.wei|2024/03/01 09:15:22|0||0|0||0|0|0|1|0|0|0",
             "3|Right Plane|RefPlane|NULL|NULL|zhang.wei|2024/03/01 09:15:22|0||0|0||0|0|0|1|0|0|0",
             "4|Origin|OriginProfileFeature|NULL|NULL|||0||0|0||0|0|0|1|0|0|0",
             "5|Boss-Extrude1|Extrusion|NULL|NULL|zhang.wei|2024/03/01 09:20:05|7010|"
             "2024/04/11 16:02:40|7020|118|基体拉伸|0|0|-1|1|-1|0|0",
             "6|Holes|FtrFolder|NULL|NULL|||0||0|0||0|0|0|1|0|0|0",
             "7|Chamfer1|Chamfer|NULL|NULL|li.na|2024/03/06 14:30:00|0||0|0||0|0|0|1|0|-1|0",
             "8|Sketch1|ProfileFeature|5|Boss-Extrude1|zhang.wei|2024/03/01 09:18:47|7010||0|112||"
             "0|0|0|1|0|0|0",
             "9|Cut-Extrude1|ICE|6|Holes|li.na|2024/03/05 10:02:11|0||0|131||0|0|0|1|0|0|0",
             "10|Sketch2|ProfileFeature|9|Cut-Extrude1|||0||0|0||0|0|0|1|0|0|0"}),
      Lines("DADU_3_Feature"));
  // A document whose features all have owners writes no feature and no dimension.
  host_.EmptyCall("IModelDoc2.FirstFeature");
  ASSERT_EQ(S_OK, Export(u"Feature,Dimension"));
  EXPECT_TRUE(Lines("DADU_3_Feature").empty());
  EXPECT_TRUE(Lines("DADU_3_Dimension").empty());
}

TEST_F(TableExportTest, AnAssemblysComponentsBringTheirModelsFeaturesBreadthFirst) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Feature"));
  Texts tree = Lines(
      "select featId,featName,typeName,ownerFeatureId,ownerFeature from DADU_3_Feature "
      "order by rowid");
  ASSERT_EQ(49u, tree.size());
  // The top level in tree order, then the children of entry 4, 5, ...
  EXPECT_EQ(
      (Texts{"0|Front Plane|RefPlane|NULL|NULL", "1|Top Plane|RefPlane|NULL|NULL",
             "2|Right Plane|RefPlane|NULL|NULL", "3|Origin|OriginProfileFeature|NULL|NULL",
             "4|Mates|MateGroup|NULL|NULL", "5|Housing-1|Reference|NULL|NULL",
             "6|Shaft-1|Reference|NULL|NULL", "7|Shaft-2|Reference|NULL|NULL",
             "8|BearingSet-1|Reference|NULL|NULL", "9|Coincident1|MateCoincident|4|Mates",
             "10|Distance1|MateDistanceDim|4|Mates", "11|Comments|CommentsFolder|5|Housing-1"}),
      Texts(tree.begin(), tree.begin() + 12));
  EXPECT_EQ("33|Bearing-1|Reference|8|BearingSet-1", tree[33]);
  EXPECT_EQ("35|Sketch1|ProfileFeature|16|Boss-Extrude1", tree[35]);
  EXPECT_EQ("46|Sketch2|ProfileFeature|36|Cut-Extrude1", tree[46]);
  EXPECT_EQ("48|Sketch1|ProfileFeature|45|Revolve1", tree[48]);
  // The component feature carries the component's own feature fields.
  EXPECT_EQ((Texts{"zhang.wei|外壳"}),
            Lines("select createdBy,description from DADU_3_Feature where featId=5"));
}

TEST_F(TableExportTest, GrandchildrenComeAfterAllChildrenOfEarlierEntries) {
  OpenModel("Tree.SLDPRT", R"json({"version": 1, "type": "part", "features": [
    {"name": "A", "typeName": "T", "subFeatures": [
      {"name": "A1", "typeName": "T", "subFeatures": [{"name": "A1a", "typeName": "T"}]},
      {"name": "A2", "typeName": "T"}]},
    {"name": "B", "typeName": "T", "subFeatures": [{"name": "B1", "typeName": "T"}]},
    {"name": "Ref", "typeName": "T", "subFeatures": [{"name": "Hidden", "typeName": "T"}]},
    {"name": "ref2", "typeName": "T"}]})json");
  // Features of a part that only look like component features.
  Model().features[2].typeName = u"REFERENCE";
  Model().features[3].typeName = u"reference";
  ASSERT_EQ(S_OK, Export(u"Feature"));
  EXPECT_EQ((Texts{"0|A|NULL", "1|B|NULL", "2|Ref|NULL", "3|ref2|NULL", "4|A1|A", "5|A2|A",
                   "6|B1|B", "7|A1a|A1"}),
            Lines("select featId,featName,ownerFeature from DADU_3_Feature order by rowid"));
  // "Reference" in any case is taken for a component: selected, and without children.
  EXPECT_EQ(2, CallCount("IFeature.Select2"));
  EXPECT_EQ(1, CallCount("IModelDoc2.SelectionManager"));
}

TEST_F(TableExportTest, TheHostRevisionDecidesConfigurationTypeAndEditStatus) {
  Open("Housing.SLDPRT");
  Model().features[5].fields.editStatus = 3;
  struct Case {
    const char16_t* revision;
    const char* heavyType;   // the type is read above 18.4
    const char* editStatus;  // the edit status from 18 on
  };
  for (const Case& c :
       {Case{u"20.3.0", "1", "3"}, Case{u"18.4", "1", "3"}, Case{u"18.4.0", "1", "3"},
        Case{u"18.3.9", "0", "3"}, Case{u"18", "0", "3"}, Case{u"18.0.0", "0", "3"},
        Case{u"17.9.1", "0", "0"}, Case{u"", "0", "0"}}) {
    SCOPED_TRACE(Utf8(c.revision));
    host_.SetRevision(c.revision);
    host_.ClearCalls();
    ASSERT_EQ(S_OK, Export(u"Config,Feature"));
    EXPECT_EQ((Texts{"Default|NULL||0|1|Standard housing|标准外壳|0|0|0",
                     std::string("Heavy|Default|HSG-H|") + c.heavyType +
                         "|8|Thicker walls|加厚型|-1|-1|0"}),
              Lines("DADU_3_Config"));
    EXPECT_EQ((Texts{c.editStatus}), Lines("select editStatus from DADU_3_Feature where featId=5"));
    EXPECT_EQ(c.heavyType[0] == '1' ? 2 : 0, CallCount("IConfiguration.Type"));
    // The top-level configuration's insert names no parent column.
    EXPECT_EQ(1, CallCount("IConfiguration.Name"));
    EXPECT_EQ(c.editStatus[0] == '3' ? 11 : 0, CallCount("IFeature.GetEditStatus"));
  }
}

TEST_F(TableExportTest, DimensionsEachOnceWithTheFirstFeatureEntryShowingIt) {
  Open("Housing.SLDPRT");
  Model().dimensions[1].value = 123.4567;  // D2@Sketch1: stored exactly
  Model().dimensions[3].toleranceMin = 12.4999999;
  ASSERT_EQ(S_OK, Export(u"Dimension"));
  // Only the dimension table: the feature list was built all the same.
  EXPECT_EQ((Row{"DADU_3_Dimension"}), Tables());
  const std::string sys = Shortest(123.4567 * sim::UnitMetres(Model()));
  EXPECT_EQ((Texts{// Boss-Extrude1 (entry 5) shows its own dimension and Sketch1's D1.
                   "D1@Boss-Extrude1|D1|Boss-Extrude1|5|30|0.03|2|0|0|2|0|0|0|0|0",
                   "D1@Sketch1|D1|Sketch1|5|120|0.12|2|0|0|2|0|2|-0.1|0.1|0",
                   // A chamfer dimension holds two.
                   "D1@Chamfer1|D1|Chamfer1|7|2|0.002|10|0|0|2|0|0|0|0|0",
                   "D2@Chamfer1|D2|Chamfer1|7|45|0.7853981633974483|10|1|0|2|0|0|0|0|0",
                   // Sketch1 (entry 8): its D1 is known, its D2 is new.
                   "D2@Sketch1|D2|Sketch1|8|123.4567|" + sys + "|2|0|0|2|0|0|0|0|0",
                   "D1@Cut-Extrude1|D1|Cut-Extrude1|9|12.5|0.0125|6|0|0|2|0|3|12.4999999|12.55|0",
                   "D1@Sketch2|D1|Sketch2|10|40|0.04|2|0|-1|2|0|0|0|0|0"}),
            Lines("DADU_3_Dimension"));
  // No tolerance object: the tolerance columns stay empty.
  host_.EmptyCall("IDimension.Tolerance#2");
  ASSERT_EQ(S_OK, Export(u"Dimension"));
  EXPECT_EQ((Texts{"D1@Boss-Extrude1|0|0|0", "D1@Sketch1|NULL|NULL|NULL"}),
            Lines("select dimFullName,tolType,tolMinVal,tolMaxVal from DADU_3_Dimension "
                  "order by rowid limit 2"));
}

TEST_F(TableExportTest, ADrawingsReferenceDimension) {
  Open("Gearbox.SLDDRW");
  ASSERT_EQ(S_OK, Export(u"Dimension,Feature"));
  EXPECT_EQ((Texts{"RD1@Drawing View1|RD1|Drawing View1|1|250|0.25|2|0|-1|1|-1|0|0|0|0"}),
            Lines("DADU_3_Dimension"));
  // The list order decides the creation order only; the feature list is built once.
  EXPECT_EQ((Row{"DADU_3_Dimension", "DADU_3_Feature"}), Tables());
  EXPECT_EQ(1, CallCount("IModelDoc2.FirstFeature"));
  EXPECT_LT(CallsOf("IFeature.CreatedBy").at(0), CallsOf("IDimension.FullName").at(0));
}

TEST_F(TableExportTest, DimensionKeysDecideWhatIsWrittenOnce) {
  OpenModel("Keys.SLDPRT", R"json({"version": 1, "type": "part", "features": [
    {"name": "F1", "typeName": "T", "displayDimensions": [
      {"type": 2, "dimensions": ["D1@Chamfer1"]}, {"type": 2, "dimensions": ["A@X"]},
      {"type": 2, "dimensions": ["a@x"]}, {"type": 2, "dimensions": ["Single"]},
      {"type": 2, "dimensions": ["Bare"]}, {"type": 2, "dimensions": ["Dup1"]},
      {"type": 2, "dimensions": ["Dup2"]}]},
    {"name": "Chamfer1", "typeName": "Chamfer", "displayDimensions": [
      {"type": 10, "dimensions": ["D1@Chamfer1", "D2@Chamfer1"]}]}],
   "dimensions": [
    {"name": "D1@Chamfer1", "value": 2}, {"name": "D2@Chamfer1", "value": 45, "parameterType": 2},
    {"name": "A@X", "value": 1}, {"name": "a@x", "value": 2},
    {"name": "Single", "fullName": "D7@Sketch9", "value": 3},
    {"name": "Bare", "fullName": "NoAtSign", "value": 4},
    {"name": "Dup1", "fullName": "D5@F@One.SLDPRT", "value": 5},
    {"name": "Dup2", "fullName": "D5@F@Two.SLDPRT", "value": 6}]})json");
  ASSERT_EQ(S_OK, Export(u"Dimension"));
  EXPECT_EQ((Texts{"D1@Chamfer1|D1|Chamfer1|0|2", "A@X|A|X|0|1", "a@x|a|x|0|2", "D7||D7|0|3",
                   "|||0|4", "D5@F|D5|F|0|5"}),
            Lines("select dimFullName,dimName,feature,featId,dimValue from DADU_3_Dimension "
                  "order by rowid"));
  // The chamfer's first key was known: its second dimension was not looked at.
  EXPECT_EQ(0, CallCount("IDisplayDimension.GetDimension2") - CallCount("IDimension.FullName"));
  for (const sim::HostCall& call : host_.Calls()) {
    if (call.operation == "IDisplayDimension.GetDimension2") {
      EXPECT_EQ(u"0", call.arguments.at(0));
    }
  }
}

TEST_F(TableExportTest, EquationsSplitIntoSidesAtTheFirstEqualsSign) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Equation"));
  EXPECT_EQ(
      (Texts{"0|\"Width\" = 120|\"Width\" | 120|120|0|0",
             "1|\"D1@Sketch1\" = \"Width\"|\"D1@Sketch1\" | \"Width\"|120|0|0",
             "2|\"D1@Boss-Extrude1\" = \"Width\" / 4|\"D1@Boss-Extrude1\" | \"Width\" / 4|30|0|0",
             "3|\"D2@Sketch1\" = 80|\"D2@Sketch1\" | 80|80|-1|0"}),
      Lines("DADU_3_Equation"));
  OpenModel("Equations.SLDPRT", R"json({"version": 1, "type": "part", "equations": [
    {"text": "=5"}, {"text": "\"A\"=1"}, {"text": "\"B\" =   2 "}, {"text": "\"C\" ="},
    {"text": "no sides"}, {"text": "\"D\" = iif(\"A\" = 1, 2, 3)"},
    {"text": "\"E\" = 'quoted' % \\ 中文"}]})json");
  ASSERT_EQ(S_OK, Export(u"Equation"));
  EXPECT_EQ(
      (Texts{"0|=5||5", "1|\"A\"=1|\"A\"|1", "2|\"B\" =   2 |\"B\" |   2 ", "3|\"C\" =|\"C\" |",
             "4|no sides|no sides|", "5|\"D\" = iif(\"A\" = 1, 2, 3)|\"D\" | iif(\"A\" = 1, 2, 3)",
             "6|\"E\" = 'quoted' % \\ 中文|\"E\" | 'quoted' % \\ 中文"}),
      Lines("select equIndex,equation,equLeft,equRight from DADU_3_Equation order by rowid"));
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Equation"));
  EXPECT_EQ((Texts{"0|\"Gap\" = 2|\"Gap\" | 2|2|0|0",
                   "1|\"D1@Distance1\" = \"Gap\" + 3|\"D1@Distance1\" | \"Gap\" + 3|5|0|0"}),
            Lines("DADU_3_Equation"));
}

TEST_F(TableExportTest, ParametersOfAPartUnderItsTitle) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  EXPECT_EQ((Texts{"Default|Housing.SLDPRT|D1@Boss-Extrude1|30.0mm|0",
                   "Default|Housing.SLDPRT|$STATE@Chamfer1|S|0",
                   "Heavy|Housing.SLDPRT|D1@Boss-Extrude1|45.0mm|0",
                   "Heavy|Housing.SLDPRT|$STATE@Chamfer1|U|0"}),
            Lines("DADU_3_Parameter"));
}

TEST_F(TableExportTest, ParametersOfAnAssemblysLoadedModelsEachDistinctRowOnce) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  // Default: the root (named empty), then loaded components depth first; Compact adds little.
  EXPECT_EQ(
      (Texts{"Default||$STATE@Shaft-2|R|0", "Compact||$STATE@Shaft-2|S|0",
             "Default|Housing-1|D1@Boss-Extrude1|30.0mm|0", "Default|Housing-1|$STATE@Chamfer1|S|0",
             "Heavy|Housing-1|D1@Boss-Extrude1|45.0mm|0", "Heavy|Housing-1|$STATE@Chamfer1|U|0",
             "Long|Shaft-1|D1@Sketch1|200.0mm|0", "Short|Shaft-1|D1@Sketch1|120.0mm|0",
             "Long|Shaft-2|D1@Sketch1|200.0mm|0", "Short|Shaft-2|D1@Sketch1|120.0mm|0",
             "Default|BearingSet-1|$STATE@Bearing-2|R|0",
             "Default|BearingSet-1/Bearing-1|D1@Sketch1|52.0mm|0",
             "Default|BearingSet-1/Bearing-2|D1@Sketch1|52.0mm|0"}),
      Lines("DADU_3_Parameter"));
  EXPECT_EQ(
      (std::vector<std::string>{"IConfiguration.GetRootComponent3 Gearbox.SLDASM:Default(true)",
                                "IConfiguration.GetRootComponent3 Gearbox.SLDASM:Compact(true)"}),
      host_.CallLines("IConfiguration.GetRootComponent3"));
  // A loaded component without a model has no rows; its children still do.
  host_.EmptyCall("IComponent2.GetModelDoc2#5");  // BearingSet-1
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  EXPECT_EQ((Texts{"BearingSet-1/Bearing-1", "BearingSet-1/Bearing-2"}),
            Lines("select compName from DADU_3_Parameter where compName like 'Bearing%'"));
}

TEST_F(TableExportTest, PropertiesOfAPartUnderItsTitleWithoutExtension) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"property"));
  // Configurations first, then the document's own (configName empty).
  EXPECT_EQ(
      (Texts{"Default|Housing|Housing|PartNo|30|HSG-100|0",
             "Heavy|Housing|Housing|PartNo|30|HSG-100H|0",
             "Heavy|Housing|Housing|Material|30|Cast Steel|0",
             "|Housing|Housing|Material|30|铸铁 HT250|0",
             "|Housing|Housing|Description|30|减速箱外壳|0", "|Housing|Housing|Weight|5|12.5|0",
             "|Housing|Housing|Approved|11|Yes|0", "|Housing|Housing|Released|64|2024-04-12|0"}),
      Lines("DADU_3_property"));
  OpenModel("Two.Dots.SLDPRT", R"json({"version": 1, "type": "part", "title": "Bracket-7.v2.SLDPRT",
    "configurations": [{"name": "Default"}],
    "properties": [{"name": "P", "type": 30, "value": "v"}]})json");
  ASSERT_EQ(S_OK, Export(u"property"));
  EXPECT_EQ((Texts{"|Bracket-7.v2|Bracket|P|30|v|0"}), Lines("DADU_3_property"));
}

TEST_F(TableExportTest, PropertiesOfAnAssemblysLoadedModelsEachDistinctRowOnce) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"property"));
  Texts rows = Lines(
      "select configName,compName,realName,propertyName,propertyValue from DADU_3_property "
      "order by rowid");
  ASSERT_EQ(28u, rows.size());
  EXPECT_EQ((Texts{"Default|Gearbox|Gearbox|Revision|A", "Compact|Gearbox|Gearbox|Revision|B",
                   "|Gearbox|Gearbox|Project|Harbolt 演示", "|Gearbox|Gearbox|Designer|张伟",
                   "Default|Housing-1|Housing|PartNo|HSG-100"}),
            Texts(rows.begin(), rows.begin() + 5));
  EXPECT_EQ((Texts{"Default|BearingSet-1/Bearing-2|Bearing|Size|6205",
                   "|BearingSet-1/Bearing-2|Bearing|Vendor|SKF",
                   "|BearingSet-1/Bearing-2|Bearing|Description|深沟球轴承"}),
            Texts(rows.end() - 3, rows.end()));
  // Every row once, though the walk met the models again in Compact.
  EXPECT_EQ((Texts{"28"}),
            Lines("select count(*) from (select distinct configName,compName,realName,"
                  "propertyName,propertyType,propertyValue from DADU_3_property)"));
  // Each property manager read once per model name: 2+2+2+2+1+1+1 configurations, 7 documents.
  EXPECT_EQ(18, CallCount("ICustomPropertyManager.GetAll"));
  Open("Gearbox.SLDDRW");
  host_.ClearCalls();
  ASSERT_EQ(S_OK, Export(u"property"));
  EXPECT_TRUE(host_.CallLines("ICustomPropertyManager.").empty());
}

TEST_F(TableExportTest, AModelWhosePropertiesFailFailsTheExportAfterTheWalk) {
  Open("Gearbox.SLDASM");
  host_.FailCall("ICustomPropertyManager.GetAll#3");  // Housing-1, the walk's second model
  EXPECT_EQ(S_FALSE, Export(u"property,Config"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::getModelProperty() error: ICustomPropertyManager.GetAll failed (0x80004005): "
      u"ICustomPropertyManager.GetAll failed in the simulated host\n",
      errDescription_);
  // The walk went on to the other models, and nothing was committed.
  bool bearingRead = false;
  for (const sim::HostCall& call : host_.Calls()) {
    bearingRead |= call.operation == "ICustomPropertyManager.GetAll" &&
                   call.target.find(u"Bearing.SLDPRT") != std::u16string::npos;
  }
  EXPECT_TRUE(bearingRead);
  EXPECT_TRUE(Tables().empty());
}

TEST_F(TableExportTest, ComponentsOfEveryConfigurationWithPreviews) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Componen"));
  // A preview where the model file has the walked configuration; unloaded ones are written too.
  EXPECT_EQ(
      (Texts{"Default|||Default|NULL|1|3|2|" + Preview("") + "|0",
             "Default|Housing-1|Housing|Default|NULL|1|3|3|" + Preview("Housing") + "|0",
             "Default|Shaft-1|Shaft|Long|NULL|1|3|3|NULL|0",
             "Default|Shaft-2|Shaft|Short|NULL|1|2|3|NULL|0",
             "Default|BearingSet-1|BearingSet|Default|NULL|1|3|3|" + Preview("BearingSet") + "|0",
             "Default|BearingSet-1/Bearing-1|Bearing|Default|BearingSet-1|1|3|3|" +
                 Preview("Bearing") + "|0",
             "Default|BearingSet-1/Bearing-2|Bearing|Default|BearingSet-1|1|2|3|" +
                 Preview("Bearing") + "|0",
             "Compact|||Compact|NULL|1|3|2|" + Preview("") + "|0",
             "Compact|Housing-1|Housing|Heavy|NULL|1|3|3|NULL|0",
             "Compact|Shaft-1|Shaft|Short|NULL|1|3|3|NULL|0",
             "Compact|Shaft-2|Shaft|Short|NULL|0|3|0|NULL|0",
             "Compact|BearingSet-1|BearingSet|Default|NULL|1|3|1|NULL|0",
             "Compact|BearingSet-1/Bearing-1|Bearing|Default|BearingSet-1|1|3|1|NULL|0",
             "Compact|BearingSet-1/Bearing-2|Bearing|Default|BearingSet-1|1|2|1|NULL|0"}),
      Lines("DADU_3_Componen"));
  for (const char* name : {"Housing", "BearingSet", "Bearing"}) {
    EXPECT_EQ("BM", testing_support::ReadFile(Preview(name)).substr(0, 2)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(Preview("Shaft")));
  // A preview the host cannot give is left out.
  host_.FailCall("ISldWorks.GetPreviewBitmap#2");
  host_.EmptyCall("ISldWorks.GetPreviewBitmap#3");
  ASSERT_EQ(S_OK, Export(u"Componen"));
  EXPECT_EQ((Texts{"|" + Preview(""), "Housing-1|NULL"}),
            Lines("select compName,previewBitmap from DADU_3_Componen order by rowid limit 2"));
}

TEST_F(TableExportTest, PreviewPathsFollowTheWorkDirectory) {
  Open("Gearbox.SLDASM");
  const std::u16string plain = workDir_;
  std::vector<Texts> results;
  // A trailing separator adds no second one.
  for (const std::u16string& dir : {plain, plain + u"/", plain + u"\\"}) {
    workDir_ = dir;
    ASSERT_EQ(S_OK, Export(u"Componen"));
    results.push_back(Lines("select previewBitmap from DADU_3_Componen order by rowid"));
  }
  EXPECT_EQ(results[0], results[1]);
  EXPECT_EQ(Utf8(plain) + "/Housing.bmp", results[0][1]);
  EXPECT_EQ(Utf8(plain) + "\\Housing.bmp", results[2][1]);
  EXPECT_EQ(results[0].size(), results[2].size());
  // Without a work directory: no preview at all.
  std::filesystem::remove_all(dir_.path() / "work");
  std::filesystem::create_directories(dir_.path() / "work");
  workDir_.clear();
  host_.ClearCalls();
  ASSERT_EQ(S_OK, Export(u"Componen"));
  EXPECT_EQ((Texts{"14|0"}), Lines("select count(*),count(previewBitmap) from DADU_3_Componen"));
  EXPECT_EQ(0, CallCount("ISldWorks.GetPreviewBitmap"));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path() / "work"));
}

}  // namespace
}  // namespace export_test
