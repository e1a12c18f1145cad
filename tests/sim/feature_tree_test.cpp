// Walking feature trees through the host interfaces: the chain in
// definition order, owners and sub-features, component features and the
// selection, display dimensions with their dimensions and tolerances.
#include <gtest/gtest.h>

#include <numbers>

#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::SampleDir;
using sim_test::Take;

class FeatureTreeTest : public ::testing::Test {
 protected:
  ComPtr<IHostModelDoc> Open(const char* name) { return host_.Open(SampleDir() / name); }

  static std::string Name(IHostFeature* feature) {
    BSTR name = nullptr;
    feature->GetName(&name);
    return Take(name);
  }
  static std::string TypeName(IHostFeature* feature) {
    BSTR name = nullptr;
    feature->GetTypeName(&name);
    return Take(name);
  }
  // Names along a link, from first on.
  template <typename Step>
  static std::vector<std::string> Walk(ComPtr<IHostFeature> feature, Step step) {
    std::vector<std::string> names;
    while (feature) {
      names.push_back(Name(feature.Get()));
      ComPtr<IHostFeature> next;
      EXPECT_EQ(S_OK, (feature.Get()->*step)(next.ReleaseAndGetAddressOf()));
      feature = next;
    }
    return names;
  }
  static ComPtr<IHostFeature> First(IHostModelDoc* document) {
    ComPtr<IHostFeature> feature;
    EXPECT_EQ(S_OK, document->GetFirstFeature(feature.ReleaseAndGetAddressOf()));
    return feature;
  }
  static ComPtr<IHostFeature> Find(IHostModelDoc* document, const std::string& name) {
    for (ComPtr<IHostFeature> feature = First(document); feature;) {
      if (Name(feature.Get()) == name) return feature;
      ComPtr<IHostFeature> next;
      feature->GetNextFeature(next.ReleaseAndGetAddressOf());
      feature = next;
    }
    return nullptr;
  }
  static ComPtr<IHostFeature> Sub(IHostFeature* feature) {
    ComPtr<IHostFeature> sub;
    EXPECT_EQ(S_OK, feature->GetFirstSubFeature(sub.ReleaseAndGetAddressOf()));
    return sub;
  }
  static ComPtr<IHostFeature> Owner(IHostFeature* feature) {
    ComPtr<IHostFeature> owner;
    EXPECT_EQ(S_OK, feature->GetOwnerFeature(owner.ReleaseAndGetAddressOf()));
    return owner;
  }
  // The name of the object selected first in document.
  static std::string SelectedName(IHostModelDoc* document, bool* isComponent) {
    ComPtr<IHostSelectionManager> selection;
    document->GetSelectionManager(selection.ReleaseAndGetAddressOf());
    ComPtr<IDispatch> object;
    EXPECT_EQ(S_OK,
              selection->GetSelectedObject(1, kAnySelectionMark, object.ReleaseAndGetAddressOf()));
    ComPtr<IHostComponent> component;
    *isComponent = object && SUCCEEDED(object.As(&component));
    if (*isComponent) {
      BSTR name = nullptr;
      component->GetName(&name);
      return Take(name);
    }
    ComPtr<IHostFeature> feature;
    if (object && SUCCEEDED(object.As(&feature))) return Name(feature.Get());
    return "(nothing)";
  }

  SimHost host_;
};

TEST_F(FeatureTreeTest, TheChainRunsInDefinitionOrderWithSuppressedAndAbsorbedFeatures) {
  ComPtr<IHostModelDoc> housing = Open("Housing.SLDPRT");
  EXPECT_EQ((std::vector<std::string>{"Comments", "Front Plane", "Top Plane", "Right Plane",
                                      "Origin", "Sketch1", "Boss-Extrude1", "Holes", "Chamfer1"}),
            Walk(First(housing.Get()), &IHostFeature::GetNextFeature));
  ComPtr<IHostFeature> chamfer = Find(housing.Get(), "Chamfer1");
  VARIANT_BOOL suppressed = VARIANT_FALSE;
  EXPECT_EQ(S_OK, chamfer->IsSuppressed(&suppressed));
  EXPECT_EQ(VARIANT_TRUE, suppressed);
  EXPECT_EQ("Chamfer", TypeName(chamfer.Get()));
}

TEST_F(FeatureTreeTest, SubFeaturesHangUnderTheirOwners) {
  ComPtr<IHostModelDoc> housing = Open("Housing.SLDPRT");
  // The absorbed sketch stands on the chain and has its extrusion as owner.
  ComPtr<IHostFeature> sketch = Find(housing.Get(), "Sketch1");
  EXPECT_EQ("Boss-Extrude1", Name(Owner(sketch.Get()).Get()));
  EXPECT_FALSE(Owner(Find(housing.Get(), "Boss-Extrude1").Get()));
  EXPECT_EQ(
      (std::vector<std::string>{"Sketch1"}),
      Walk(Sub(Find(housing.Get(), "Boss-Extrude1").Get()), &IHostFeature::GetNextSubFeature));
  // Two levels below a folder, reached only through the sub-feature links.
  ComPtr<IHostFeature> cut = Sub(Find(housing.Get(), "Holes").Get());
  EXPECT_EQ("Cut-Extrude1", Name(cut.Get()));
  ComPtr<IHostFeature> sketch2 = Sub(cut.Get());
  EXPECT_EQ("Sketch2", Name(sketch2.Get()));
  EXPECT_EQ("Cut-Extrude1", Name(Owner(sketch2.Get()).Get()));
  EXPECT_EQ("Holes", Name(Owner(cut.Get()).Get()));
  ComPtr<IHostFeature> none;
  EXPECT_EQ(S_OK, cut->GetNextFeature(none.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(none);
  EXPECT_FALSE(Sub(sketch2.Get()));
  // At the top, the next sub-feature is the next feature at the top.
  EXPECT_EQ((std::vector<std::string>{"Comments", "Front Plane", "Top Plane", "Right Plane",
                                      "Origin", "Boss-Extrude1", "Holes", "Chamfer1"}),
            Walk(First(housing.Get()), &IHostFeature::GetNextSubFeature));
}

TEST_F(FeatureTreeTest, FeatureFieldsReadAndWrite) {
  ComPtr<IHostModelDoc> housing = Open("Housing.SLDPRT");
  ComPtr<IHostFeature> extrude = Find(housing.Get(), "Boss-Extrude1");
  BSTR text = nullptr;
  extrude->GetCreatedBy(&text);
  EXPECT_EQ("zhang.wei", Take(text));
  extrude->GetDateModified(&text);
  EXPECT_EQ("2024/04/11 16:02:40", Take(text));
  extrude->GetDescription(&text);
  EXPECT_EQ("基体拉伸", Take(text));
  LONG number = 0;
  extrude->GetModifiedVersion(&number);
  EXPECT_EQ(7020, number);
  extrude->GetUpdateStamp(&number);
  EXPECT_EQ(118, number);
  extrude->GetVisible(&number);
  EXPECT_EQ(1, number);
  VARIANT_BOOL flag = VARIANT_FALSE;
  extrude->IsBase(&flag);
  EXPECT_EQ(VARIANT_TRUE, flag);
  EXPECT_EQ(S_OK, extrude->GetUIState(kFeatureUiStateExpanded, &flag));
  EXPECT_EQ(VARIANT_TRUE, flag);
  EXPECT_EQ(E_INVALIDARG, extrude->GetUIState(2, &flag));

  ScopedBstr description(u"新");
  EXPECT_EQ(S_OK, extrude->SetDescription(description.Get()));
  EXPECT_EQ(S_OK, extrude->SetUIState(kFeatureUiStateExpanded, VARIANT_FALSE));
  const FeatureModel& model = host_.Model(housing.Get())->features[5];
  EXPECT_EQ(u"新", model.fields.description);
  EXPECT_FALSE(model.fields.uiState);
}

TEST_F(FeatureTreeTest, ComponentsShowAsReferenceFeaturesThatSelectTheirComponent) {
  ComPtr<IHostModelDoc> gearbox = Open("Gearbox.SLDASM");
  EXPECT_EQ((std::vector<std::string>{"Front Plane", "Top Plane", "Right Plane", "Origin", "Mates",
                                      "Housing-1", "Shaft-1", "Shaft-2", "BearingSet-1"}),
            Walk(First(gearbox.Get()), &IHostFeature::GetNextFeature));
  ComPtr<IHostFeature> housing = Find(gearbox.Get(), "Housing-1");
  EXPECT_EQ("Reference", TypeName(housing.Get()));
  BSTR text = nullptr;
  housing->GetDescription(&text);
  EXPECT_EQ("外壳", Take(text));
  EXPECT_FALSE(Sub(housing.Get()));

  VARIANT_BOOL selected = VARIANT_FALSE;
  EXPECT_EQ(S_OK, Find(gearbox.Get(), "Mates")->Select(VARIANT_FALSE, &selected));
  bool isComponent = true;
  EXPECT_EQ("Mates", SelectedName(gearbox.Get(), &isComponent));
  EXPECT_FALSE(isComponent);
  EXPECT_EQ(S_OK, Find(gearbox.Get(), "Shaft-2")->Select(VARIANT_FALSE, &selected));
  EXPECT_EQ(VARIANT_TRUE, selected);
  EXPECT_EQ("Shaft-2", SelectedName(gearbox.Get(), &isComponent));
  EXPECT_TRUE(isComponent);
  ComPtr<IHostSelectionManager> selection;
  gearbox->GetSelectionManager(selection.ReleaseAndGetAddressOf());
  LONG count = 0;
  selection->GetSelectedObjectCount(&count);
  EXPECT_EQ(1, count);
  Find(gearbox.Get(), "Shaft-1")->Select(VARIANT_TRUE, &selected);
  selection->GetSelectedObjectCount(&count);
  EXPECT_EQ(2, count);
  ComPtr<IDispatch> none;
  EXPECT_EQ(S_OK,
            selection->GetSelectedObject(3, kAnySelectionMark, none.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(none);
  EXPECT_EQ(S_OK, gearbox->PrepareForClose());
  selection->GetSelectedObjectCount(&count);
  EXPECT_EQ(0, count);
}

TEST_F(FeatureTreeTest, AComponentsFirstFeatureIsItsModelsFirstFeatureInTheAssemblysContext) {
  ComPtr<IHostModelDoc> gearbox = Open("Gearbox.SLDASM");
  Find(gearbox.Get(), "BearingSet-1")->Select(VARIANT_FALSE, nullptr);
  ComPtr<IHostSelectionManager> selection;
  gearbox->GetSelectionManager(selection.ReleaseAndGetAddressOf());
  ComPtr<IDispatch> object;
  selection->GetSelectedObject(1, kAnySelectionMark, object.ReleaseAndGetAddressOf());
  ComPtr<IHostComponent> component;
  ASSERT_EQ(S_OK, object.As(&component));
  ComPtr<IHostFeature> first;
  ASSERT_EQ(S_OK, component->GetFirstFeature(first.ReleaseAndGetAddressOf()));
  EXPECT_EQ((std::vector<std::string>{"Origin", "Mates", "Bearing-1", "Bearing-2"}),
            Walk(first, &IHostFeature::GetNextSubFeature));
  // Selecting a component feature found below selects in the assembly, and
  // the component carries its path.
  ComPtr<IHostFeature> bearing = first;
  while (bearing && Name(bearing.Get()) != "Bearing-2") {
    ComPtr<IHostFeature> next;
    bearing->GetNextSubFeature(next.ReleaseAndGetAddressOf());
    bearing = next;
  }
  ASSERT_TRUE(bearing);
  bearing->Select(VARIANT_FALSE, nullptr);
  bool isComponent = false;
  EXPECT_EQ("BearingSet-1/Bearing-2", SelectedName(gearbox.Get(), &isComponent));
  EXPECT_TRUE(isComponent);
  ComPtr<IHostModelDoc> subassembly = host_.Document(SampleDir() / "BearingSet.SLDASM");
  ComPtr<IHostSelectionManager> subSelection;
  subassembly->GetSelectionManager(subSelection.ReleaseAndGetAddressOf());
  LONG count = -1;
  subSelection->GetSelectedObjectCount(&count);
  EXPECT_EQ(0, count);
}

TEST_F(FeatureTreeTest, DisplayDimensionsHoldTheirDimensions) {
  ComPtr<IHostModelDoc> housing = Open("Housing.SLDPRT");
  ComPtr<IHostFeature> extrude = Find(housing.Get(), "Boss-Extrude1");
  std::vector<std::string> names;
  ComPtr<IDispatch> shown;
  ASSERT_EQ(S_OK, extrude->GetFirstDisplayDimension(shown.ReleaseAndGetAddressOf()));
  while (shown) {
    ComPtr<IHostDisplayDimension> display;
    EXPECT_EQ(S_OK, shown.As(&display));
    LONG type = 0;
    display->GetType(&type);
    EXPECT_EQ(kDisplayDimensionLinear, type);
    ComPtr<IHostDimension> dimension;
    EXPECT_EQ(S_OK, display->GetDimension(0, dimension.ReleaseAndGetAddressOf()));
    BSTR name = nullptr;
    dimension->GetFullName(&name);
    names.push_back(Take(name));
    EXPECT_EQ(E_INVALIDARG, display->GetDimension(1, dimension.ReleaseAndGetAddressOf()));
    ComPtr<IDispatch> next;
    EXPECT_EQ(S_OK, extrude->GetNextDisplayDimension(shown.Get(), next.ReleaseAndGetAddressOf()));
    shown = next;
  }
  EXPECT_EQ(
      (std::vector<std::string>{"D1@Boss-Extrude1@Housing.SLDPRT", "D1@Sketch1@Housing.SLDPRT"}),
      names);
  // Another feature's display dimension is no "current" for this one.
  ComPtr<IDispatch> foreign;
  Find(housing.Get(), "Sketch1")->GetFirstDisplayDimension(foreign.ReleaseAndGetAddressOf());
  ComPtr<IDispatch> next;
  EXPECT_EQ(E_INVALIDARG,
            extrude->GetNextDisplayDimension(foreign.Get(), next.ReleaseAndGetAddressOf()));
  ComPtr<IDispatch> nothing;
  EXPECT_EQ(
      S_OK,
      Find(housing.Get(), "Comments")->GetFirstDisplayDimension(nothing.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(nothing);
}

TEST_F(FeatureTreeTest, AChamferDimensionHoldsTwoAndDimensionsChangeThroughTheirSetters) {
  ComPtr<IHostModelDoc> housing = Open("Housing.SLDPRT");
  ComPtr<IDispatch> shown;
  Find(housing.Get(), "Chamfer1")->GetFirstDisplayDimension(shown.ReleaseAndGetAddressOf());
  ComPtr<IHostDisplayDimension> display;
  ASSERT_EQ(S_OK, shown.As(&display));
  LONG type = 0;
  display->GetType(&type);
  EXPECT_EQ(kDisplayDimensionChamfer, type);
  ComPtr<IHostDimension> length;
  ComPtr<IHostDimension> angle;
  ASSERT_EQ(S_OK, display->GetDimension(0, length.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, display->GetDimension(1, angle.ReleaseAndGetAddressOf()));
  double value = 0;
  length->GetSystemValue(&value);
  EXPECT_DOUBLE_EQ(0.002, value);
  angle->GetSystemValue(&value);
  EXPECT_DOUBLE_EQ(std::numbers::pi / 4, value);
  LONG number = 0;
  angle->GetParameterType(&number);
  EXPECT_EQ(kDimensionParamAngle, number);

  EXPECT_EQ(S_OK, length->SetValue(3.5));
  length->GetValue(&value);
  EXPECT_DOUBLE_EQ(3.5, value);
  length->GetSystemValue(&value);
  EXPECT_DOUBLE_EQ(0.0035, value);
  EXPECT_EQ(S_OK, length->SetReadOnly(VARIANT_TRUE));
  EXPECT_EQ(E_ACCESSDENIED, length->SetValue(9));
  length->GetValue(&value);
  EXPECT_DOUBLE_EQ(3.5, value);
  EXPECT_EQ(S_OK, length->SetDrivenState(kDimensionDriven));
  EXPECT_EQ(E_INVALIDARG, length->SetDrivenState(7));
  length->GetDrivenState(&number);
  EXPECT_EQ(kDimensionDriven, number);

  ComPtr<IHostTolerance> tolerance;
  ASSERT_EQ(S_OK, length->GetTolerance(tolerance.ReleaseAndGetAddressOf()));
  VARIANT_BOOL done = VARIANT_TRUE;
  EXPECT_EQ(S_OK, tolerance->SetValues(-0.2, 0.3, &done));
  EXPECT_EQ(VARIANT_FALSE, done);  // type none: nothing set
  EXPECT_EQ(E_INVALIDARG, tolerance->SetType(12));
  EXPECT_EQ(S_OK, tolerance->SetType(kToleranceSymmetric));
  EXPECT_EQ(S_OK, tolerance->SetValues(-0.2, 0.3, &done));
  EXPECT_EQ(VARIANT_TRUE, done);
  tolerance->GetMinValue(&value);
  EXPECT_DOUBLE_EQ(-0.2, value);
  tolerance->GetMaxValue(&value);
  EXPECT_DOUBLE_EQ(0.3, value);
  const DimensionModel& model = host_.Model(housing.Get())->dimensions[5];
  EXPECT_EQ(kToleranceSymmetric, model.toleranceType);
  EXPECT_TRUE(model.readOnly);
}

TEST_F(FeatureTreeTest, ADimensionShownByTwoFeaturesHasOneFullName) {
  ComPtr<IHostModelDoc> housing = Open("Housing.SLDPRT");
  auto fullNames = [&](const char* feature) {
    std::vector<std::string> names;
    ComPtr<IDispatch> shown;
    ComPtr<IHostFeature> owner = Find(housing.Get(), feature);
    owner->GetFirstDisplayDimension(shown.ReleaseAndGetAddressOf());
    for (; shown;) {
      ComPtr<IHostDisplayDimension> display;
      shown.As(&display);
      ComPtr<IHostDimension> dimension;
      display->GetDimension(0, dimension.ReleaseAndGetAddressOf());
      BSTR name = nullptr;
      dimension->GetFullName(&name);
      names.push_back(Take(name));
      ComPtr<IDispatch> next;
      owner->GetNextDisplayDimension(shown.Get(), next.ReleaseAndGetAddressOf());
      shown = next;
    }
    return names;
  };
  EXPECT_EQ((std::vector<std::string>{"D1@Sketch1@Housing.SLDPRT", "D2@Sketch1@Housing.SLDPRT"}),
            fullNames("Sketch1"));
  EXPECT_EQ("D1@Sketch1@Housing.SLDPRT", fullNames("Boss-Extrude1")[1]);
}

}  // namespace
}  // namespace sim
