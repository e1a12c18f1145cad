// Feature trees through IFeature: the chain in definition order, owners and
// sub-features, the fields, component features and the selection, display
// dimensions with their dimensions and tolerances.
#include <gtest/gtest.h>

#include "host/published/published_ids.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Answer;
using sim_test::Arg;
using sim_test::ExpectAnswers;
using sim_test::Object;
using sim_test::Put;
using sim_test::Text;

class FeatureTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { housing_ = host_.Open(sim_test::SampleDir() / "Housing.SLDPRT"); }
  ComPtr<IDispatch> Feature(const char* name, IDispatch* document = nullptr) {
    return sim_test::Feature(document ? document : housing_.Get(), name);
  }
  // Names along a link, from first on.
  static std::vector<std::string> Walk(ComPtr<IDispatch> feature, const char16_t* link) {
    std::vector<std::string> names;
    for (; feature; feature = Object(feature.Get(), link)) {
      names.push_back(Text(feature.Get(), u"Name"));
    }
    return names;
  }
  ComPtr<IDispatch> Dimension(const char* feature, LONG index = 0) {
    return Object(Object(Feature(feature).Get(), u"GetFirstDisplayDimension").Get(),
                  u"GetDimension2", {Arg(index)});
  }

  SimHost host_;
  ComPtr<IDispatch> housing_;
};

TEST_F(FeatureTreeTest, TheChainRunsInDefinitionOrderAndSubFeaturesHangUnderOwners) {
  ComPtr<IDispatch> first = Object(housing_.Get(), u"FirstFeature");
  EXPECT_EQ((std::vector<std::string>{"Comments", "Front Plane", "Top Plane", "Right Plane",
                                      "Origin", "Sketch1", "Boss-Extrude1", "Holes", "Chamfer1"}),
            Walk(first, u"GetNextFeature"));
  // At the top, the next sub-feature is the next feature at the top.
  EXPECT_EQ((std::vector<std::string>{"Comments", "Front Plane", "Top Plane", "Right Plane",
                                      "Origin", "Boss-Extrude1", "Holes", "Chamfer1"}),
            Walk(first, u"GetNextSubFeature"));
  // Two levels below a folder, reached only through the sub-feature links.
  ComPtr<IDispatch> cut = Object(Feature("Holes").Get(), u"GetFirstSubFeature");
  ComPtr<IDispatch> sketch = Object(cut.Get(), u"GetFirstSubFeature");
  ExpectAnswers({{Feature("Sketch1").Get(), u"GetOwnerFeature", {}, "object"},
                 {Feature("Boss-Extrude1").Get(), u"GetOwnerFeature", {}, "null"},
                 {cut.Get(), u"Name", {}, "Cut-Extrude1"},
                 {cut.Get(), u"GetNextFeature", {}, "null"},
                 {cut.Get(), u"GetNextSubFeature", {}, "null"},
                 {sketch.Get(), u"Name", {}, "Sketch2"},
                 {sketch.Get(), u"GetFirstSubFeature", {}, "null"}});
  EXPECT_EQ("Cut-Extrude1", Text(Object(sketch.Get(), u"GetOwnerFeature").Get(), u"Name"));
}

TEST_F(FeatureTreeTest, FieldsReadAndDescriptionAndUiStateChange) {
  ComPtr<IDispatch> extrude = Feature("Boss-Extrude1");
  ComPtr<IDispatch> chamfer = Feature("Chamfer1");
  ScopedVariant isWarning(LONG{5});
  ExpectAnswers({{extrude.Get(), u"GetTypeName2", {}, "Extrusion"},
                 {extrude.Get(), u"CreatedBy", {}, "zhang.wei"},
                 {extrude.Get(), u"DateCreated", {}, "2024/03/01 09:20:05"},
                 {extrude.Get(), u"DateModified", {}, "2024/04/11 16:02:40"},
                 {extrude.Get(), u"Description", {}, "基体拉伸"},
                 {extrude.Get(), u"GetCreatedVersion", {}, "7010"},
                 {extrude.Get(), u"GetModifiedVersion", {}, "7020"},
                 {extrude.Get(), u"GetUpdateStamp", {}, "118"},
                 {extrude.Get(), u"GetEditStatus", {}, "0"},
                 {extrude.Get(), u"Visible", {}, "1"},
                 {extrude.Get(), u"IsBase2", {}, "-1"},
                 {extrude.Get(), u"GetErrorCode2", {Arg::VariantRef(isWarning.Get())}, "0"},
                 {extrude.Get(), u"GetUIState", {Arg(published::swIsHiddenInFeatureMgr)}, "-1"},
                 {extrude.Get(), u"GetUIState", {Arg(2)}, "0"},
                 {extrude.Get(), u"IsSuppressed2", {Arg(1), Arg::Empty()}, "[0]"},
                 {chamfer.Get(), u"IsSuppressed2", {Arg(1), Arg::Empty()}, "[-1]"},
                 {chamfer.Get(), u"IsSuppressed2", {Arg(2), Arg::Empty()}, "empty"}});
  EXPECT_EQ(VT_BOOL, isWarning.Type());
  EXPECT_EQ(VARIANT_FALSE, isWarning.Get()->boolVal);
  // Kind 1 is the model's flag; other kinds change nothing.
  const FeatureModel& model = host_.Model(housing_.Get())->features[5];
  Answer(extrude.Get(), u"SetUIState", {Arg(2), Arg(0)});
  EXPECT_TRUE(model.fields.uiState);
  Answer(extrude.Get(), u"SetUIState", {Arg(published::swIsHiddenInFeatureMgr), Arg(0)});
  EXPECT_FALSE(model.fields.uiState);
  Put(extrude.Get(), u"Description", {Arg(u"新")});
  EXPECT_EQ(u"新", model.fields.description);
}

TEST_F(FeatureTreeTest, ComponentsShowAsReferenceFeaturesThatSelectTheirComponent) {
  ComPtr<IDispatch> gearbox = host_.Open(sim_test::SampleDir() / "Gearbox.SLDASM");
  EXPECT_EQ((std::vector<std::string>{"Front Plane", "Top Plane", "Right Plane", "Origin", "Mates",
                                      "Housing-1", "Shaft-1", "Shaft-2", "BearingSet-1"}),
            Walk(Object(gearbox.Get(), u"FirstFeature"), u"GetNextFeature"));
  ComPtr<IDispatch> housing = Feature("Housing-1", gearbox.Get());
  ExpectAnswers({{housing.Get(), u"GetTypeName2", {}, "Reference"},
                 {housing.Get(), u"Description", {}, "外壳"},
                 {housing.Get(), u"GetFirstSubFeature", {}, "null"},
                 {Feature("Mates", gearbox.Get()).Get(), u"Select2", {Arg(0), Arg(0)}, "-1"},
                 {Feature("Shaft-2", gearbox.Get()).Get(), u"Select2", {Arg(-1), Arg(4)}, "-1"}});
  ComPtr<IDispatch> selection = Object(gearbox.Get(), u"SelectionManager");
  struct Case {
    LONG index;
    LONG mark;
    LONG type;
    const char* name;
  } cases[] = {{1, -1, published::swSelBODYFEATURES, "Mates"},
               {2, -1, published::swSelCOMPONENTS, "Shaft-2"},
               {1, 4, published::swSelCOMPONENTS, "Shaft-2"},
               {1, 0, published::swSelBODYFEATURES, "Mates"},
               {2, 0, 0, ""},
               {3, -1, 0, ""},
               {-1, -1, 0, ""},
               {1, 7, 0, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.index) + " mark " + std::to_string(c.mark));
    EXPECT_EQ(c.type, sim_test::Long(selection.Get(), u"GetSelectedObjectType3",
                                     {Arg(c.index), Arg(c.mark)}));
    ComPtr<IDispatch> object =
        Object(selection.Get(), u"GetSelectedObject6", {Arg(c.index), Arg(c.mark)});
    const char16_t* name = c.type == published::swSelCOMPONENTS ? u"Name2" : u"Name";
    EXPECT_EQ(c.name, object ? Text(object.Get(), name) : "");
  }
  ExpectAnswers({{selection.Get(), u"GetSelectedObjectCount2", {Arg(-1)}, "2"},
                 {selection.Get(), u"GetSelectedObjectCount2", {Arg(4)}, "1"},
                 {gearbox.Get(), u"ClearSelection2", {Arg(-1)}, "empty"},
                 {selection.Get(), u"GetSelectedObjectCount2", {Arg(-1)}, "0"}});
}

TEST_F(FeatureTreeTest, FeaturesBelowAComponentSelectInTheAssembly) {
  ComPtr<IDispatch> gearbox = host_.Open(sim_test::SampleDir() / "Gearbox.SLDASM");
  Answer(Feature("BearingSet-1", gearbox.Get()).Get(), u"Select2", {Arg(0), Arg(0)});
  ComPtr<IDispatch> selection = Object(gearbox.Get(), u"SelectionManager");
  ComPtr<IDispatch> component = Object(selection.Get(), u"GetSelectedObject6", {Arg(1), Arg(-1)});
  ComPtr<IDispatch> first = Object(component.Get(), u"FirstFeature");
  EXPECT_EQ((std::vector<std::string>{"Origin", "Mates", "Bearing-1", "Bearing-2"}),
            Walk(first, u"GetNextSubFeature"));
  ComPtr<IDispatch> bearing = first;
  for (int i = 0; i < 3; ++i) bearing = Object(bearing.Get(), u"GetNextSubFeature");
  Answer(bearing.Get(), u"Select2", {Arg(0), Arg(0)});
  EXPECT_EQ(
      "BearingSet-1/Bearing-2",
      Text(Object(selection.Get(), u"GetSelectedObject6", {Arg(1), Arg(-1)}).Get(), u"Name2"));
  ComPtr<IDispatch> subassembly = host_.Document(sim_test::SampleDir() / "BearingSet.SLDASM");
  ExpectAnswers({{Object(subassembly.Get(), u"SelectionManager").Get(),
                  u"GetSelectedObjectCount2",
                  {Arg(-1)},
                  "0"}});
}

TEST_F(FeatureTreeTest, DisplayDimensionsFollowOneAnotherWithinTheirFeature) {
  ComPtr<IDispatch> extrude = Feature("Boss-Extrude1");
  std::vector<std::string> shown;
  for (ComPtr<IDispatch> display = Object(extrude.Get(), u"GetFirstDisplayDimension"); display;
       display =
           Object(extrude.Get(), u"GetNextDisplayDimension", {Arg::Dispatch(display.Get())})) {
    // Any index of a display dimension that is no chamfer gives its one
    // dimension.
    shown.push_back(sim_test::AnswerText(*Answer(display.Get(), u"Type2").Get()) + " " +
                    Text(Object(display.Get(), u"GetDimension2", {Arg(5)}).Get(), u"FullName"));
  }
  EXPECT_EQ((std::vector<std::string>{"2 D1@Boss-Extrude1@Housing.SLDPRT",
                                      "2 D1@Sketch1@Housing.SLDPRT"}),
            shown);
  ComPtr<IDispatch> foreign = Object(Feature("Sketch1").Get(), u"GetFirstDisplayDimension");
  ComPtr<IDispatch> chamfer = Object(Feature("Chamfer1").Get(), u"GetFirstDisplayDimension");
  ExpectAnswers(
      {{extrude.Get(), u"GetNextDisplayDimension", {Arg::Dispatch(foreign.Get())}, "null"},
       {Feature("Comments").Get(), u"GetFirstDisplayDimension", {}, "null"},
       {chamfer.Get(), u"Type2", {}, "10"},
       {chamfer.Get(), u"GetDimension2", {Arg(2)}, "null"},
       {chamfer.Get(), u"GetDimension2", {Arg(-1)}, "null"}});
  EXPECT_EQ("D2@Chamfer1@Housing.SLDPRT", Text(Dimension("Chamfer1", 1).Get(), u"FullName"));
}

TEST_F(FeatureTreeTest, DimensionsReadAndChangeAsTheHostLets) {
  ComPtr<IDispatch> length = Dimension("Chamfer1", 0);
  ComPtr<IDispatch> angle = Dimension("Chamfer1", 1);
  std::vector<Arg> thisConfiguration = {Arg(published::swThisConfiguration), Arg::Empty()};
  ExpectAnswers({{length.Get(), u"GetValue3", thisConfiguration, "[2]"},
                 {length.Get(), u"GetSystemValue3", thisConfiguration, "[0.002]"},
                 {angle.Get(), u"GetSystemValue3", thisConfiguration, "[0.785398163397448]"},
                 {length.Get(), u"IsReference", {}, "0"},
                 // The model's parameter types read one lower.
                 {length.Get(), u"GetType", {}, "0"},
                 {angle.Get(), u"GetType", {}, "1"},
                 {length.Get(), u"SetValue3", {Arg::Double(3.5), Arg(1), Arg::Empty()}, "0"},
                 {length.Get(), u"GetSystemValue3", thisConfiguration, "[0.0035]"}});
  host_.Model(housing_.Get())->dimensions[6].parameterType = kDimensionParamUnknown;
  host_.Model(housing_.Get())->dimensions[5].readOnly = true;
  ExpectAnswers({{angle.Get(), u"GetType", {}, "-1"},
                 {length.Get(), u"ReadOnly", {}, "-1"},
                 {length.Get(), u"SetValue3", {Arg::Double(9), Arg(1), Arg::Empty()}, "1"},
                 {length.Get(), u"GetValue3", thisConfiguration, "[3.5]"}});
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
            sim_test::Invoke(length.Get(), u"ReadOnly", DISPATCH_PROPERTYPUT, {Arg(0)}).hr);
  Put(length.Get(), u"DrivenState", {Arg(kDimensionDriven)});
  Put(length.Get(), u"DrivenState", {Arg(7)});
  EXPECT_EQ(kDimensionDriven, sim_test::Long(length.Get(), u"DrivenState"));
}

TEST_F(FeatureTreeTest, ToleranceLimitsAreValidOnlyForAToleranceType) {
  ComPtr<IDispatch> tolerance = Object(Dimension("Chamfer1").Get(), u"Tolerance");
  ScopedVariant limit;
  std::vector<Arg> out = {Arg::VariantRef(limit.Get())};
  std::vector<Arg> values = {Arg::Double(-0.2), Arg::Double(0.3), Arg(1), Arg::Empty()};
  ExpectAnswers({{tolerance.Get(), u"GetMinValue2", out, "1"},
                 {tolerance.Get(), u"SetValues2", values, "0"}});
  EXPECT_EQ("0", sim_test::AnswerText(*limit.Get()));
  Put(tolerance.Get(), u"Type", {Arg(12)});
  EXPECT_EQ(kToleranceNone, sim_test::Long(tolerance.Get(), u"Type"));
  Put(tolerance.Get(), u"Type", {Arg(kToleranceSymmetric)});
  ExpectAnswers({{tolerance.Get(), u"SetValues2", values, "-1"},
                 {tolerance.Get(), u"GetMaxValue2", out, "0"}});
  EXPECT_EQ("0.3", sim_test::AnswerText(*limit.Get()));
  EXPECT_EQ(kToleranceSymmetric, host_.Model(housing_.Get())->dimensions[5].toleranceType);
}

}  // namespace
}  // namespace sim
