// The feature and dimension steps: changed rows of the tables Feature and
// Dimension written to the items of the active document by name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FeatureUpdateTest : public ImportTest {
 protected:
  void SetUp() override {
    OpenSample("Housing.SLDPRT");
    Tables();
  }
  sim::ModelData& Housing() { return Model("Housing.SLDPRT"); }
  sim::FeatureModel& Feature(size_t index) { return Housing().features[index]; }
  sim::DimensionModel& Dimension(const std::u16string& name) {
    for (sim::DimensionModel& dimension : Housing().dimensions) {
      if (dimension.name == name) return dimension;
    }
    throw std::runtime_error("no dimension " + Utf8(name));
  }
};

// Positions of Housing's features in the model: the chain is Comments, the
// three planes, Origin, Sketch1 (absorbed, in the chain before its owner),
// Boss-Extrude1, Holes, Chamfer1; Cut-Extrude1 and Sketch2 hang below Holes.
constexpr size_t kBossExtrude = 5;
constexpr size_t kHoles = 6;
constexpr size_t kChamfer = 7;

TEST_F(FeatureUpdateTest, ChangedRowsSetDescriptionAndInterfaceState) {
  Row("Feature", {{"featName", u"Boss-Extrude1"}, {"description", u"基体 v2"}, {"uiState", 0}},
      kChanged);
  Row("Feature", {{"featName", u"Holes"}, {"description", u"not applied"}, {"uiState", 1}},
      kUnchanged);
  Row("Feature", {{"featName", u"Holes"}, {"description", u"not applied"}}, kAdded);
  Row("Feature", {{"featName", u"Holes"}, {"description", u"not applied"}}, kDeleted);
  Row("Feature", {{"featName", u"Chamfer1"}, {"uiState", 5}}, kChanged);

  ASSERT_EQ(S_OK, Import(u"Feature"));
  EXPECT_THAT(Writes(),
              ElementsAre("IFeature.put_Description Housing.SLDPRT:Boss-Extrude1(基体 v2)",
                          "IFeature.SetUIState Housing.SLDPRT:Boss-Extrude1(1, false)",
                          "IFeature.put_Description Housing.SLDPRT:Chamfer1()",
                          "IFeature.SetUIState Housing.SLDPRT:Chamfer1(1, true)"));
  EXPECT_EQ(u"基体 v2", Feature(kBossExtrude).fields.description);
  EXPECT_FALSE(Feature(kBossExtrude).fields.uiState);
  EXPECT_EQ(u"", Feature(kHoles).fields.description);
  EXPECT_EQ(u"", Feature(kChamfer).fields.description);
  EXPECT_TRUE(Feature(kChamfer).fields.uiState);
}

TEST_F(FeatureUpdateTest, AnyNonZeroInterfaceStateIsTrue) {
  const std::pair<const char16_t*, Value> rows[] = {{u"Front Plane", 1},
                                                    {u"Top Plane", -1},
                                                    {u"Right Plane", 5},
                                                    {u"Origin", 0},
                                                    {u"Boss-Extrude1", nullptr}};
  for (const auto& [name, state] : rows) {
    Row("Feature", {{"featName", std::u16string(name)}, {"uiState", state}}, kChanged);
  }
  Feature(4).fields.uiState = true;
  ASSERT_EQ(S_OK, Import(u"Feature"));
  EXPECT_THAT(Journal("IFeature.SetUIState"),
              ElementsAre("IFeature.SetUIState Housing.SLDPRT:Front Plane(1, true)",
                          "IFeature.SetUIState Housing.SLDPRT:Top Plane(1, true)",
                          "IFeature.SetUIState Housing.SLDPRT:Right Plane(1, true)",
                          "IFeature.SetUIState Housing.SLDPRT:Origin(1, false)",
                          "IFeature.SetUIState Housing.SLDPRT:Boss-Extrude1(1, false)"));
  EXPECT_TRUE(Feature(1).fields.uiState);
  EXPECT_FALSE(Feature(4).fields.uiState);
}

TEST_F(FeatureUpdateTest, WithoutChangedRowsTheHostIsNotAsked) {
  Row("Feature", {{"featName", u"Boss-Extrude1"}, {"description", u"x"}}, kUnchanged);
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Sketch1"}, {"dimValue", 1.0}}, kAdded);
  ASSERT_EQ(S_OK, Import(u"Feature,Dimension"));
  EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                     "IModelDoc2.GetType Housing.SLDPRT()"));
}

TEST_F(FeatureUpdateTest, AMissingFeatureEndsTheStepWithoutAMessage) {
  Row("Feature", {{"featName", u"Front Plane"}, {"description", u"first"}}, kChanged);
  Row("Feature", {{"featName", u"boss-extrude1"}, {"description", u"other case"}}, kChanged);
  Row("Feature", {{"featName", u"Origin"}, {"description", u"third"}}, kChanged);
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Sketch1"}, {"dimValue", 99.0}}, kChanged);

  ASSERT_EQ(S_FALSE, Import(u"Feature,Dimension"));
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"", errDescription);
  EXPECT_EQ(u"first", Feature(1).fields.description);
  EXPECT_EQ(u"", Feature(4).fields.description);
  EXPECT_EQ(u"基体拉伸", Feature(kBossExtrude).fields.description);
  EXPECT_THAT(Journal("IDimension."), IsEmpty());
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
}

TEST_F(FeatureUpdateTest, OnlyFeaturesOnTheChainAreFound) {
  // Sketch1 stands on the chain before its owner; Cut-Extrude1 only hangs
  // below Holes.
  Row("Feature", {{"featName", u"Sketch1"}, {"description", u"profile"}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Feature"));
  EXPECT_EQ(u"profile", Feature(kBossExtrude).subFeatures[0].fields.description);

  Row("Feature", {{"featName", u"Cut-Extrude1"}, {"description", u"hole"}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Feature"));
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"", errDescription);
  EXPECT_EQ(u"", Feature(kHoles).subFeatures[0].fields.description);
}

TEST_F(FeatureUpdateTest, ADimensionGetsItsValuesInTheFixedOrder) {
  Row("Dimension",
      {{"dimFullName", u"D1@Sketch1"},
       {"dimName", u"D1"},
       {"feature", u"Sketch1"},
       {"dimValue", 125.25},
       {"readOnly", -1},
       {"drivenState", 1},
       {"tolType", 3},
       {"tolMinVal", 125.0},
       {"tolMaxVal", 125.5}},
      kChanged);
  Row("Dimension", {{"dimName", u"D2"}, {"feature", u"Sketch1"}, {"dimValue", 0.5}}, kUnchanged);

  // The host publishes the read-only flag only to read: the write is refused,
  // the values after it are still written, and the import reports it.
  ASSERT_EQ(S_FALSE, Import(u"Dimension"));
  EXPECT_EQ(
      u"CDbToSld::Import():the host refused 1 value(s); the first: IDimension.ReadOnly failed "
      u"(0x80020003): the host has no such member (a release older than the one it was added "
      u"in?) for [D1@Sketch1]",
      errDescription);
  EXPECT_THAT(
      Writes(),
      ElementsAre(
          "IDimension.SetValue3 D1@Sketch1@Housing.SLDPRT(125.25, 1, empty)",
          "IDimension.put_DrivenState D1@Sketch1@Housing.SLDPRT(1)",
          "IDimensionTolerance.put_Type D1@Sketch1@Housing.SLDPRT(3)",
          "IDimensionTolerance.SetValues2 D1@Sketch1@Housing.SLDPRT(125, 125.5, 1, empty)"));
  const sim::DimensionModel& d1 = Dimension(u"D1@Sketch1");
  EXPECT_EQ(125.25, d1.value);
  EXPECT_FALSE(d1.readOnly);
  EXPECT_EQ(1, d1.drivenState);
  EXPECT_EQ(3, d1.toleranceType);
  EXPECT_EQ(125.0, d1.toleranceMin);
  EXPECT_EQ(125.5, d1.toleranceMax);
  EXPECT_EQ(80, Dimension(u"D2@Sketch1").value);
}

TEST_F(FeatureUpdateTest, NullColumnsWriteZeros) {
  Row("Dimension", {{"dimName", u"D2"}, {"feature", u"Sketch1"}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Dimension"));
  EXPECT_THAT(
      Writes(),
      ElementsAre("IDimension.SetValue3 D2@Sketch1@Housing.SLDPRT(0, 1, empty)",
                  "IDimension.put_DrivenState D2@Sketch1@Housing.SLDPRT(0)",
                  "IDimensionTolerance.put_Type D2@Sketch1@Housing.SLDPRT(0)",
                  "IDimensionTolerance.SetValues2 D2@Sketch1@Housing.SLDPRT(0, 0, 1, empty)"));
  EXPECT_EQ(0, Dimension(u"D2@Sketch1").value);
  EXPECT_EQ(0, Dimension(u"D2@Sketch1").drivenState);
}

TEST_F(FeatureUpdateTest, BothDimensionsOfAChamferDimensionAreFound) {
  Row("Dimension", {{"dimName", u"D2"}, {"feature", u"Chamfer1"}, {"dimValue", 30.0}}, kChanged);
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Chamfer1"}, {"dimValue", 1.5}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Dimension"));
  EXPECT_EQ(30, Dimension(u"D2@Chamfer1").value);
  EXPECT_EQ(1.5, Dimension(u"D1@Chamfer1").value);
}

TEST_F(FeatureUpdateTest, AnUnknownDimensionKeyEndsTheStepWithoutAMessage) {
  for (const auto& [name, feature] : {std::pair<std::u16string, std::u16string>{u"", u"D1@Sketch1"},
                                      {u"d1", u"Sketch1"},
                                      {u"D1", u"Cut-Extrude1"},
                                      {u"D1", u"Sketch2"}}) {
    SCOPED_TRACE(Utf8(name + u"@" + feature));
    Execute(u"delete from 'DADU_3_Dimension'");
    Row("Dimension", {{"dimName", u"D2"}, {"feature", u"Sketch1"}, {"dimValue", 81.0}}, kChanged);
    Row("Dimension", {{"dimName", name}, {"feature", feature}, {"dimValue", 7.0}}, kChanged);
    Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Boss-Extrude1"}, {"dimValue", 7.0}},
        kChanged);
    ASSERT_EQ(S_FALSE, Import(u"Dimension"));
    EXPECT_EQ(0, errNumber);
    EXPECT_EQ(u"", errDescription);
    EXPECT_EQ(81, Dimension(u"D2@Sketch1").value);
    EXPECT_EQ(30, Dimension(u"D1@Boss-Extrude1").value);
    EXPECT_EQ(12.5, Dimension(u"D1@Cut-Extrude1").value);
  }
}

TEST_F(FeatureUpdateTest, AReadOnlyDimensionKeepsItsValueAsTheHostDecides) {
  // A read-only dimension: the host refuses the new value, and the row's
  // read-only flag, written after the value, cannot clear the flag, which
  // the host publishes only to read. The model does not hold what the row
  // asked for, so the import does not pass for done.
  Dimension(u"D1@Sketch1").readOnly = true;
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Sketch1"}, {"dimValue", 140.0}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Dimension"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::Import():the host refused 2 value(s); the first: IDimension.SetValue3 failed "
      u"(0x80070005): the dimension is read-only for [D1@Sketch1]",
      errDescription);
  EXPECT_EQ(120, Dimension(u"D1@Sketch1").value);
  EXPECT_TRUE(Dimension(u"D1@Sketch1").readOnly);
}

TEST_F(FeatureUpdateTest, ADimensionWithoutToleranceObjectFailsTheImport) {
  Row("Dimension", {{"dimName", u"D1"}, {"feature", u"Sketch1"}, {"dimValue", 121.0}}, kChanged);
  EmptyCall("IDimension.Tolerance");
  ASSERT_EQ(S_FALSE, Import(u"Dimension"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::Import() error: IHostDimension::GetTolerance gave no object "
      u"(hr=0x00000000)\n",
      errDescription);
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "Import out error"));
}

}  // namespace
}  // namespace import_test
