// The import driver: the choice and order of the steps, and failures between them.
#include "import/db_to_sld.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DriverTest : public ImportTest {
 protected:
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
}

TEST_F(DriverTest, AMissingColumnFailsTheStepThatReadsIt) {
  OpenSample("Housing.SLDPRT");
  Table("Feature", {"featName Text", "description Text"});
  Row("Feature", {{"featName", u"Boss-Extrude1"}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Feature"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"Unexpected error.\n", errDescription);
}

TEST_F(DriverTest, ADocumentLostBetweenStepsFailsWithoutAMessage) {
  HousingWithFeatureAndDimensionRows();
  // The driver's own request succeeds, the feature step's gives nothing.
  host().EmptyCall("ISldWorks.ActiveDoc#2");
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
