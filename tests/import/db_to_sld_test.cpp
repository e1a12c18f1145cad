// The import driver: the opening of the database, the choice and order of
// the tables, the SELECT texts, the failures of the driver and the result of
// UpdateTable.
#include "import/db_to_sld.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

template <size_t N>
std::vector<std::u16string> Columns(const std::array<std::u16string_view, N>& columns) {
  return std::vector<std::u16string>(columns.begin(), columns.end());
}

std::u16string Select(const char16_t* table, const std::vector<std::u16string>& columns,
                      std::u16string_view where) {
  return CDbToSld::BuildSelect(CDbToSld::MakeTableName(table), columns, where);
}

TEST(SelectTextTest, EveryStepSelectsItsColumnsAndFlag) {
  EXPECT_EQ(u"DADU_3_Feature", CDbToSld::MakeTableName(u"Feature"));
  EXPECT_EQ(u"DADU_3_property", CDbToSld::MakeTableName(u"property"));
  EXPECT_EQ(u"DADU_flag=2", CDbToSld::MakeFlagCondition(2));
  EXPECT_EQ(u"DADU_flag=-1", CDbToSld::MakeFlagCondition(-1));

  EXPECT_EQ(u"select featName,description,uiState from 'DADU_3_Feature' where DADU_flag=2",
            Select(u"Feature", Columns(CDbToSld::kFeatureColumns), CDbToSld::MakeFlagCondition(2)));
  EXPECT_EQ(
      u"select dimName,feature,dimValue,readOnly,drivenState,tolType,tolMinVal,tolMaxVal from "
      u"'DADU_3_Dimension' where DADU_flag=2",
      Select(u"Dimension", Columns(CDbToSld::kDimensionColumns), CDbToSld::MakeFlagCondition(2)));
  EXPECT_EQ(u"select equIndex,equation,suppression from 'DADU_3_Equation' where DADU_flag=2",
            Select(u"Equation", Columns(CDbToSld::kEquationChangedColumns),
                   CDbToSld::MakeFlagCondition(2)));
  EXPECT_EQ(u"select equIndex from 'DADU_3_Equation' where DADU_flag=3",
            Select(u"Equation", Columns(CDbToSld::kEquationDeletedColumns),
                   CDbToSld::MakeFlagCondition(3)));
  EXPECT_EQ(u"select equIndex,equation from 'DADU_3_Equation' where DADU_flag=1",
            Select(u"Equation", Columns(CDbToSld::kEquationAddedColumns),
                   CDbToSld::MakeFlagCondition(1)));
  EXPECT_EQ(
      u"select configName,alternateName,bomPartNoSrc,comment,description,isLock,useAlterInBom "
      u"from 'DADU_3_Config' where DADU_flag=2",
      Select(u"Config", Columns(CDbToSld::kConfigColumns), CDbToSld::MakeFlagCondition(2)));
  // Without a condition the quote stays open for the step's own text.
  EXPECT_EQ(u"select configName,paramName,paramValue from 'DADU_3_Parameter",
            Select(u"Parameter", Columns(CDbToSld::kParameterColumns), u""));
  EXPECT_EQ(
      u"select compName,configName,propertyName,propertyType,propertyValue from "
      u"'DADU_3_property",
      Select(u"property", Columns(CDbToSld::kPropertyColumns), u""));
}

class DriverTest : public ImportTest {
 protected:
  // Housing with a changed feature and a changed dimension row.
  void HousingWithFeatureAndDimensionRows() {
    OpenSample("Housing.SLDPRT");
    Tables();
    Row("Feature", {{"featName", u"Boss-Extrude1"}, {"description", u"new"}, {"uiState", 0}},
        kChanged);
    Row("Dimension", {{"dimName", u"D2"}, {"feature", u"Sketch1"}, {"dimValue", 85.0}}, kChanged);
  }
};

TEST_F(DriverTest, TablesRunInTheFixedOrderWhateverTheListSays) {
  HousingWithFeatureAndDimensionRows();
  ASSERT_EQ(S_OK, Import(u"Dimension,Feature,Dimension"));
  EXPECT_THAT(Writes("IFeature."),
              ElementsAre("IFeature.put_Description Housing.SLDPRT:Boss-Extrude1(new)",
                          "IFeature.SetUIState Housing.SLDPRT:Boss-Extrude1(1, false)"));
  std::vector<std::string> order;
  for (const std::string& call : Journal()) {
    if (call.rfind("IFeature.put_Description", 0) == 0) order.push_back("feature");
    if (call.rfind("IDimension.SetValue3", 0) == 0) order.push_back("dimension");
  }
  EXPECT_THAT(order, ElementsAre("feature", "dimension"));
  EXPECT_EQ(77, errNumber);
  EXPECT_EQ(u"untouched", errDescription);
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
}

TEST_F(DriverTest, NamesAreTakenWholeAndCaseSensitively) {
  HousingWithFeatureAndDimensionRows();
  for (const char16_t* list :
       {u"feature", u"Feature ,dimension", u"x, Dimension", u",,", u"FEATURE", u"Feat"}) {
    SCOPED_TRACE(Utf8(list));
    ASSERT_EQ(S_OK, Import(list));
    EXPECT_THAT(Journal("IFeature."), IsEmpty());
    EXPECT_THAT(Journal("IDimension."), IsEmpty());
  }
  // A trailing comma adds no name; the name before it counts.
  ASSERT_EQ(S_OK, Import(u"Feature,"));
  EXPECT_THAT(Journal("IFeature.put_Description"), ::testing::SizeIs(1));
  EXPECT_EQ(u"new", Model("Housing.SLDPRT").features[5].fields.description);
}

TEST_F(DriverTest, AnEmptyListOnlyOpensAndAsksForTheDocumentType) {
  HousingWithFeatureAndDimensionRows();
  ASSERT_EQ(S_OK, Import(u""));
  EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                     "IModelDoc2.GetType Housing.SLDPRT()"));
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
  EXPECT_EQ(77, errNumber);
}

TEST_F(DriverTest, ADatabaseThatCannotBeOpenedFailsTheImport) {
  HousingWithFeatureAndDimensionRows();
  const std::u16string directory = std::filesystem::path(dbPath()).parent_path().u16string();
  const std::u16string missing = directory + u"/missing.db";
  for (const std::u16string& path :
       {directory, missing, directory + u"/no/such/dir/x.db", std::u16string()}) {
    SCOPED_TRACE(Utf8(path));
    errNumber = 77;
    ASSERT_EQ(S_FALSE, ImportFrom(u"Feature", path));
    EXPECT_EQ(-1, errNumber);
    EXPECT_EQ(u"Unexpected error.\n", errDescription);
    EXPECT_THAT(ImportLog(), ElementsAre("Import in", "Import out error"));
    EXPECT_THAT(Journal(), IsEmpty());
  }
  // The import reads a database; it never makes one.
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(missing)));
}

TEST_F(DriverTest, AFileThatIsNoDatabaseFailsAtTheFirstQuery) {
  HousingWithFeatureAndDimensionRows();
  const std::filesystem::path junk = std::filesystem::path(dbPath()).parent_path() / "junk.db";
  testing_support::WriteFile(junk, std::string(4096, 'x'));
  ASSERT_EQ(S_FALSE, ImportFrom(u"Feature", junk.u16string()));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"Unexpected error.\n", errDescription);
  // The file is checked as a whole when it is opened, before the host is
  // asked for anything.
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "Import out error"));
  EXPECT_THAT(Journal(), IsEmpty());
}

TEST_F(DriverTest, AMissingTableFailsItsStepAndKeepsWhatCameBefore) {
  OpenSample("Housing.SLDPRT");
  Table("Feature");
  Row("Feature", {{"featName", u"Boss-Extrude1"}, {"description", u"kept"}}, kChanged);

  ASSERT_EQ(S_FALSE, Import(u"Feature,Dimension"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"Unexpected error.\n", errDescription);
  EXPECT_EQ(u"kept", Model("Housing.SLDPRT").features[5].fields.description);
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));

  ASSERT_EQ(S_FALSE, Import(u"Config"));
  EXPECT_EQ(u"Unexpected error.\n", errDescription);

  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::UpdateEquation():ExecQuery is failed", errDescription);

  ASSERT_EQ(S_FALSE, Import(u"Parameter"));
  EXPECT_EQ(1, errNumber);
  EXPECT_EQ(u"SQLITE_ERROR[1]: no such table: DADU_3_Parameter", errDescription);
  EXPECT_THAT(ImportLog(),
              ElementsAre("Import in",
                          "D: exec sql [select configName,paramName,paramValue from "
                          "'DADU_3_Parameter' where DADU_flag != 3 order by configName] error: "
                          "SQLITE_ERROR[1]: no such table: DADU_3_Parameter ",
                          "", "delete pDb_", "Import out"));

  ASSERT_EQ(S_FALSE, Import(u"property"));
  EXPECT_EQ(1, errNumber);
  EXPECT_EQ(u"SQLITE_ERROR[1]: no such table: DADU_3_property", errDescription);
  EXPECT_THAT(ImportLog(),
              ElementsAre("Import in",
                          "D: exec sql [select compName,configName,propertyName,propertyType,"
                          "propertyValue from 'DADU_3_property' where DADU_flag != 3 order by "
                          "configName] error: SQLITE_ERROR[1]: no such table: DADU_3_property ",
                          "", "delete pDb_", "Import out"));
}

TEST_F(DriverTest, AMissingColumnFailsTheStepThatReadsIt) {
  OpenSample("Housing.SLDPRT");
  Table("Feature", {"featName Text", "description Text"});
  Row("Feature", {{"featName", u"Boss-Extrude1"}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Feature"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"Unexpected error.\n", errDescription);
}

TEST_F(DriverTest, ADocumentOfAnotherTypeIsRefused) {
  HousingWithFeatureAndDimensionRows();
  Model("Housing.SLDPRT").type = 4;
  ASSERT_EQ(S_FALSE, Import(u"Feature,Dimension"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::Import():error: invalid docType", errDescription);
  EXPECT_THAT(ImportLog(), ElementsAre("Import in"));
  EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                     "IModelDoc2.GetType Housing.SLDPRT()"));
}

TEST_F(DriverTest, WithoutAnActiveDocumentNothingIsImported) {
  Tables();
  Row("Feature", {{"featName", u"Boss-Extrude1"}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Feature"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::Import():error: invalid docType", errDescription);
  EXPECT_THAT(ImportLog(), ElementsAre("Import in"));

  // A host that fails to hand the document out is reported with its code.
  OpenSample("Housing.SLDPRT");
  FailCall("ISldWorks.ActiveDoc#1");
  ASSERT_EQ(S_FALSE, Import(u"Feature"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::Import() error: ISldWorks.ActiveDoc failed (0x80004005): ISldWorks.ActiveDoc "
      u"failed in the simulated host\n",
      errDescription);
}

TEST_F(DriverTest, ADocumentLostBetweenStepsFailsWithoutAMessage) {
  HousingWithFeatureAndDimensionRows();
  // The driver's own request succeeds, the feature step's gives nothing.
  EmptyCall("ISldWorks.ActiveDoc#2");
  ASSERT_EQ(S_FALSE, Import(u"Feature,Dimension"));
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"", errDescription);
  EXPECT_THAT(Journal("IDimension."), IsEmpty());
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
}

TEST_F(DriverTest, ADrawingHasNoPropertyStep) {
  OpenSample("Gearbox.SLDDRW");
  Table("Feature");
  Row("Feature", {{"featName", u"Sheet1"}, {"description", u"A3"}, {"uiState", 1}}, kChanged);
  // There is no property table at all: a drawing never reads it.
  ASSERT_EQ(S_OK, Import(u"property,Feature"));
  EXPECT_THAT(Writes("IFeature."),
              ElementsAre("IFeature.put_Description Gearbox.SLDDRW:Sheet1(A3)",
                          "IFeature.SetUIState Gearbox.SLDDRW:Sheet1(1, true)"));
  EXPECT_THAT(Journal("ICustomPropertyManager."), IsEmpty());
}

}  // namespace
}  // namespace import_test
