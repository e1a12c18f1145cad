// The table "Parameter": a part's or drawing's own parameters per
// configuration; an assembly's loaded models, each distinct row once.
#include <gtest/gtest.h>

#include "db/db_connection.h"
#include "export/sld_to_db.h"
#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

class ParameterExportTest : public ExportTest {};

TEST_F(ParameterExportTest, APartsParametersUnderItsTitle) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  EXPECT_EQ((Row{"configName", "compName", "paramName", "paramValue", "DADU_flag"}),
            Columns(u"DADU_3_Parameter"));
  EXPECT_EQ((std::vector<Row>{
                {"Default", "Housing.SLDPRT", "D1@Boss-Extrude1", "30.0mm", "0"},
                {"Default", "Housing.SLDPRT", "$STATE@Chamfer1", "S", "0"},
                {"Heavy", "Housing.SLDPRT", "D1@Boss-Extrude1", "45.0mm", "0"},
                {"Heavy", "Housing.SLDPRT", "$STATE@Chamfer1", "U", "0"},
            }),
            Rows(u"DADU_3_Parameter"));
}

TEST_F(ParameterExportTest, ADrawingWithoutParametersWritesNothing) {
  Open("Gearbox.SLDDRW");
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  EXPECT_TRUE(Rows(u"DADU_3_Parameter").empty());
  EXPECT_EQ(0, CallCount("IConfigurationManager.GetConfigurationParams"));
}

TEST_F(ParameterExportTest, AnAssemblysLoadedModelsEachDistinctRowOnce) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  // Default: the assembly itself (the root, named empty), then every loaded
  // component depth first. Compact adds nothing new: its suppressed Shaft-2
  // and lightweight BearingSet-1 are passed over, and the rest is known.
  EXPECT_EQ((std::vector<Row>{
                {"Default", "", "$STATE@Shaft-2", "R", "0"},
                {"Compact", "", "$STATE@Shaft-2", "S", "0"},
                {"Default", "Housing-1", "D1@Boss-Extrude1", "30.0mm", "0"},
                {"Default", "Housing-1", "$STATE@Chamfer1", "S", "0"},
                {"Heavy", "Housing-1", "D1@Boss-Extrude1", "45.0mm", "0"},
                {"Heavy", "Housing-1", "$STATE@Chamfer1", "U", "0"},
                {"Long", "Shaft-1", "D1@Sketch1", "200.0mm", "0"},
                {"Short", "Shaft-1", "D1@Sketch1", "120.0mm", "0"},
                {"Long", "Shaft-2", "D1@Sketch1", "200.0mm", "0"},
                {"Short", "Shaft-2", "D1@Sketch1", "120.0mm", "0"},
                {"Default", "BearingSet-1", "$STATE@Bearing-2", "R", "0"},
                {"Default", "BearingSet-1/Bearing-1", "D1@Sketch1", "52.0mm", "0"},
                {"Default", "BearingSet-1/Bearing-2", "D1@Sketch1", "52.0mm", "0"},
            }),
            Rows(u"DADU_3_Parameter"));
  // The walk asks for the resolved root.
  EXPECT_EQ(
      (std::vector<std::string>{"IConfiguration.GetRootComponent3 Gearbox.SLDASM:Default(true)",
                                "IConfiguration.GetRootComponent3 Gearbox.SLDASM:Compact(true)"}),
      host_.CallLines("IConfiguration.GetRootComponent3"));
}

TEST_F(ParameterExportTest, RowsThatOnlyJoinToTheSameTextAreBothWritten) {
  OpenModel("Part.SLDPRT", R"json({"version": 1, "type": "part", "configurations": [
    {"name": "Default", "parameters": [
      {"name": "ab", "value": "c"}, {"name": "a", "value": "bc"}]},
    {"name": "Other", "parameters": []}]})json");
  OpenModel("Asm.SLDASM", R"json({"version": 1, "type": "assembly", "configurations": [
    {"name": "One", "components": [{"name": "Part-1", "file": "Part.SLDPRT"}]},
    {"name": "Two", "components": [{"name": "Part-1", "file": "Part.SLDPRT"},
                                   {"name": "Part-2", "file": "Part.SLDPRT", "state": 2}]}]})json");
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  EXPECT_EQ((std::vector<Row>{
                {"Default", "Part-1", "ab", "c", "0"},
                {"Default", "Part-1", "a", "bc", "0"},
                {"Default", "Part-2", "ab", "c", "0"},
                {"Default", "Part-2", "a", "bc", "0"},
            }),
            Rows(u"DADU_3_Parameter"));
}

TEST_F(ParameterExportTest, TheAssemblyOperationRefusesAPart) {
  Open("Housing.SLDPRT");
  DbConnection connection;
  connection.open(db_.u16string());
  ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
  CSldToDb exporter(application.Get(), &connection, dictionary_, u"");
  exporter.row().SetTable(u"DADU_3_Parameter");
  EXPECT_FALSE(exporter.ExportAsmParameter());
  EXPECT_EQ(-1, exporter.errNumber());
  EXPECT_EQ(u"CSldToDb::ExportAsmParameter():GetDocType not assembly", exporter.errDescription());
  EXPECT_TRUE(Tables().empty());
}

TEST_F(ParameterExportTest, HostFailuresEndTheExport) {
  Open("Housing.SLDPRT");
  host_.FailCall("IConfigurationManager.GetConfigurationParams#2");
  EXPECT_EQ(S_FALSE, Export(u"Parameter"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::ExportParameter() error: IConfigurationManager.GetConfigurationParams failed "
      u"(0x80004005): IConfigurationManager.GetConfigurationParams failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  Open("Gearbox.SLDASM");
  host_.ClearFaults();
  host_.FailCall("IComponent2.GetModelDoc2#3");
  EXPECT_EQ(S_FALSE, Export(u"Parameter"));
  EXPECT_EQ(
      u"CSldToDb::ExportAsmParameter() error: IComponent2.GetModelDoc2 failed (0x80004005): "
      u"IComponent2.GetModelDoc2 failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  // A loaded component without a model has no rows; its children still do.
  host_.ClearFaults();
  host_.EmptyCall("IComponent2.GetModelDoc2#5");  // BearingSet-1
  ASSERT_EQ(S_OK, Export(u"Parameter"));
  EXPECT_EQ((std::vector<Row>{{"BearingSet-1/Bearing-1"}, {"BearingSet-1/Bearing-2"}}),
            Select("select compName from DADU_3_Parameter where compName like 'Bearing%'"));
}

}  // namespace
}  // namespace export_test
