// The table "property": a part's or an assembly's models' properties per
// configuration and of the document, each distinct row once; a model whose
// properties fail makes the export fail after the walk.
#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

class PropertyExportTest : public ExportTest {};

TEST_F(PropertyExportTest, APartsPropertiesUnderItsTitleWithoutExtension) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"property"));
  EXPECT_EQ((Row{"configName", "compName", "realName", "propertyName", "propertyType",
                 "propertyValue", "DADU_flag"}),
            Columns(u"DADU_3_property"));
  // Configurations first, then the document's own (configName empty); a
  // property of both gives two rows.
  EXPECT_EQ((std::vector<Row>{
                {"Default", "Housing", "Housing", "PartNo", "30", "HSG-100", "0"},
                {"Heavy", "Housing", "Housing", "PartNo", "30", "HSG-100H", "0"},
                {"Heavy", "Housing", "Housing", "Material", "30", "Cast Steel", "0"},
                {"", "Housing", "Housing", "Material", "30", "铸铁 HT250", "0"},
                {"", "Housing", "Housing", "Description", "30", "减速箱外壳", "0"},
                {"", "Housing", "Housing", "Weight", "5", "12.5", "0"},
                {"", "Housing", "Housing", "Approved", "11", "Yes", "0"},
                {"", "Housing", "Housing", "Released", "64", "2024-04-12", "0"},
            }),
            Rows(u"DADU_3_property"));
}

TEST_F(PropertyExportTest, AnAssemblysLoadedModelsEachDistinctRowOnce) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"property"));
  std::vector<Row> rows = Select(
      "select configName,compName,realName,propertyName,propertyValue from "
      "DADU_3_property order by rowid");
  EXPECT_EQ((std::vector<Row>{
                {"Default", "Gearbox", "Gearbox", "Revision", "A"},
                {"Compact", "Gearbox", "Gearbox", "Revision", "B"},
                {"", "Gearbox", "Gearbox", "Project", "Harbolt 演示"},
                {"", "Gearbox", "Gearbox", "Designer", "张伟"},
                {"Default", "Housing-1", "Housing", "PartNo", "HSG-100"},
            }),
            std::vector<Row>(rows.begin(), rows.begin() + 5));
  EXPECT_EQ((std::vector<Row>{
                {"Default", "BearingSet-1/Bearing-2", "Bearing", "Size", "6205"},
                {"", "BearingSet-1/Bearing-2", "Bearing", "Vendor", "SKF"},
                {"", "BearingSet-1/Bearing-2", "Bearing", "Description", "深沟球轴承"},
            }),
            std::vector<Row>(rows.end() - 3, rows.end()));
  EXPECT_EQ(28u, rows.size());
  // Every row once, though the walk met the models again in Compact.
  EXPECT_EQ((std::vector<Row>{{"28"}}),
            Select("select count(*) from (select distinct configName,compName,realName,"
                   "propertyName,propertyType,propertyValue from DADU_3_property)"));
  // Each model is read once under each of its names, though the walk meets
  // it in both configurations of the assembly, each property manager in one
  // call: one GetAll per configuration of the assembly, Housing-1, Shaft-1
  // and Shaft-2 (two each), BearingSet-1 and the two bearings (one each),
  // and one for each of the seven models' own properties.
  EXPECT_EQ(18, CallCount("ICustomPropertyManager.GetAll"));
}

TEST_F(PropertyExportTest, TextsAreStoredExactly) {
  Open("Housing.SLDPRT");
  const std::u16string value = u"it's 100% \\ \"quoted\" ''; drop table x; -- 铸铁 \U0001F600";
  Model().properties[0].value = value;
  Model().properties[1].name = u"名'称";
  Model().properties[2].value = std::u16string(u"a\0b", 3);
  ASSERT_EQ(S_OK, Export(u"property"));
  EXPECT_EQ(
      (std::vector<Row>{
          {"Material", Utf8(value)}, {"名'称", "减速箱外壳"}, {"Weight", std::string("a\0b", 3)}}),
      Select("select propertyName,propertyValue from DADU_3_property where "
             "configName='' order by rowid limit 3"));
}

TEST_F(PropertyExportTest, TitlesLoseOnlyTheirLastExtension) {
  OpenModel("Two.Dots.SLDPRT", R"json({"version": 1, "type": "part", "title": "Bracket-7.v2.SLDPRT",
    "configurations": [{"name": "Default"}],
    "properties": [{"name": "P", "type": 30, "value": "v"}]})json");
  ASSERT_EQ(S_OK, Export(u"property"));
  EXPECT_EQ((std::vector<Row>{{"", "Bracket-7.v2", "Bracket", "P", "30", "v", "0"}}),
            Rows(u"DADU_3_property"));
}

TEST_F(PropertyExportTest, ADrawingHasNoPropertyRows) {
  Open("Gearbox.SLDDRW");
  ASSERT_EQ(S_OK, Export(u"property"));
  EXPECT_EQ((Row{"DADU_3_property"}), Tables());
  EXPECT_TRUE(Rows(u"DADU_3_property").empty());
  EXPECT_TRUE(host_.CallLines("ICustomPropertyManager.").empty());
}

TEST_F(PropertyExportTest, AModelWhosePropertiesFailFailsTheExportAfterTheWalk) {
  Open("Gearbox.SLDASM");
  // The second model of the walk (Housing-1).
  host_.FailCall("ICustomPropertyManager.GetAll#3");
  EXPECT_EQ(S_FALSE, Export(u"property,Config"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::getModelProperty() error: ICustomPropertyManager.GetAll failed (0x80004005): "
      u"ICustomPropertyManager.GetAll failed in the simulated host\n",
      errDescription_);
  // The walk went on to the other models, and nothing was committed.
  const std::vector<sim::HostCall>& calls = host_.Calls();
  bool bearingRead = false;
  for (const sim::HostCall& call : calls) {
    bearingRead |= call.operation == "ICustomPropertyManager.GetAll" &&
                   call.target.find(u"Bearing.SLDPRT") != std::u16string::npos;
  }
  EXPECT_TRUE(bearingRead);
  EXPECT_TRUE(Tables().empty());
}

TEST_F(PropertyExportTest, HostFailuresOfTheWalkEndTheExport) {
  Open("Gearbox.SLDASM");
  host_.FailCall("IComponent2.GetSuppression2#2");
  EXPECT_EQ(S_FALSE, Export(u"property"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::ExportProperty() error: IComponent2.GetSuppression2 failed (0x80004005): "
      u"IComponent2.GetSuppression2 failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  Open("Housing.SLDPRT");
  host_.ClearFaults();
  // The document's own properties, after those of its two configurations.
  host_.FailCall("ICustomPropertyManager.GetAll#3");
  EXPECT_EQ(S_FALSE, Export(u"property"));
  EXPECT_EQ(
      u"CSldToDb::getModelProperty() error: ICustomPropertyManager.GetAll failed (0x80004005): "
      u"ICustomPropertyManager.GetAll failed in the simulated host\n",
      errDescription_);

  // No document when the table export asks for it.
  host_.ClearFaults();
  host_.EmptyCall("ISldWorks.ActiveDoc#2");
  EXPECT_EQ(S_FALSE, Export(u"property"));
  EXPECT_EQ(u"CSldToDb::ExportProperty() error: error: invalid docType\n", errDescription_);
}

}  // namespace
}  // namespace export_test
