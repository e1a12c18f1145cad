// Component trees per configuration through IComponent2: names with paths,
// suppression states, model documents, the published constraint status;
// the root component's rules; and the preview pictures of component files.
#include <gtest/gtest.h>

#include "host/published/published_ids.h"
#include "sim/preview_picture.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Arg;
using sim_test::Long;
using sim_test::Object;
using sim_test::SampleDir;
using sim_test::Text;

class ComponentsTest : public ::testing::Test {
 protected:
  void SetUp() override { gearbox_ = host_.Open(SampleDir() / "Gearbox.SLDASM"); }

  ComPtr<IDispatch> Root(const char16_t* configuration, LONG resolve = -1) {
    ComPtr<IDispatch> owner =
        Object(gearbox_.Get(), u"GetConfigurationByName", {Arg(configuration)});
    return Object(owner.Get(), u"GetRootComponent3", {Arg(resolve)});
  }
  // One line per component, depth first: indentation, then name, state,
  // referenced configuration, visibility, constrained status, file name and
  // whether the model document is there.
  static void Dump(IDispatch* component, int depth, std::vector<std::string>* lines) {
    std::string line = std::string(static_cast<size_t>(depth) * 2, ' ') + "[" +
                       Text(component, u"Name2") + "] state " +
                       std::to_string(Long(component, u"GetSuppression2")) + " config " +
                       Text(component, u"ReferencedConfiguration") + " visible " +
                       std::to_string(Long(component, u"Visible")) + " constrained " +
                       std::to_string(Long(component, u"GetConstrainedStatus")) + " " +
                       std::filesystem::path(Text(component, u"GetPathName")).filename().string();
    line += Object(component, u"GetModelDoc2") ? " loaded" : " not loaded";
    EXPECT_EQ(depth == 0, sim_test::Bool(component, u"IsRoot"));
    lines->push_back(line);
    for (const ComPtr<IDispatch>& child : sim_test::Objects(component, u"GetChildren")) {
      Dump(child.Get(), depth + 1, lines);
    }
  }
  std::vector<std::string> Tree(const char16_t* configuration) {
    std::vector<std::string> lines;
    Dump(Root(configuration).Get(), 0, &lines);
    return lines;
  }

  SimHost host_;
  ComPtr<IDispatch> gearbox_;
};

TEST_F(ComponentsTest, EachConfigurationHasItsTree) {
  EXPECT_EQ(
      (std::vector<std::string>{
          "[] state 2 config Default visible 1 constrained 3 Gearbox.SLDASM loaded",
          "  [Housing-1] state 3 config Default visible 1 constrained 3 Housing.SLDPRT loaded",
          "  [Shaft-1] state 3 config Long visible 1 constrained 3 Shaft.SLDPRT loaded",
          "  [Shaft-2] state 3 config Short visible 1 constrained 2 Shaft.SLDPRT loaded",
          "  [BearingSet-1] state 3 config Default visible 1 constrained 3 "
          "BearingSet.SLDASM loaded",
          "    [BearingSet-1/Bearing-1] state 3 config Default visible 1 constrained 3 "
          "Bearing.SLDPRT loaded",
          "    [BearingSet-1/Bearing-2] state 3 config Default visible 1 constrained 2 "
          "Bearing.SLDPRT loaded"}),
      Tree(u"Default"));
  // Suppressed and lightweight components have no model document; inside a
  // lightweight or suppressed subassembly every component reads as it.
  std::vector<std::string> compact = Tree(u"Compact");
  ASSERT_EQ(7u, compact.size());
  EXPECT_EQ("  [Shaft-2] state 0 config Short visible 0 constrained 3 Shaft.SLDPRT not loaded",
            compact[3]);
  EXPECT_EQ(
      "    [BearingSet-1/Bearing-2] state 1 config Default visible 1 constrained 2 "
      "Bearing.SLDPRT not loaded",
      compact[6]);
  host_.Model(gearbox_.Get())->configurations[1].components[3].state = kComponentSuppressed;
  EXPECT_NE(std::string::npos, Tree(u"Compact")[6].find("[BearingSet-1/Bearing-2] state 0"));
}

TEST_F(ComponentsTest, TheConstrainedStatusIsTheModelsOneHigherAndTheRootNeedsAResolve) {
  ComponentModel& shaft = host_.Model(gearbox_.Get())->configurations[0].components[1];
  ComPtr<IDispatch> component = sim_test::Objects(Root(u"Default").Get(), u"GetChildren")[1];
  for (LONG status : {kConstraintUnknown, kConstraintUnderDefined, kConstraintFullyDefined,
                      kConstraintOverDefined}) {
    shaft.constraintStatus = status;
    EXPECT_EQ(status + 1, Long(component.Get(), u"GetConstrainedStatus"));
  }
  EXPECT_EQ(published::swOverConstrained, Long(component.Get(), u"GetConstrainedStatus"));
  // A root needs an assembly, and a configuration that is resolved or active.
  EXPECT_TRUE(Root(u"Default", 0));
  EXPECT_TRUE(Root(u"Compact", -1));
  EXPECT_FALSE(Root(u"Compact", 0));
  ComPtr<IDispatch> housing = host_.Document(SampleDir() / "Housing.SLDPRT");
  EXPECT_FALSE(Object(Object(housing.Get(), u"GetConfigurationByName", {Arg(u"Default")}).Get(),
                      u"GetRootComponent3", {Arg(-1)}));
}

TEST_F(ComponentsTest, AComponentsModelIsTheOpenDocument) {
  ComPtr<IDispatch> root = Root(u"Default");
  ComPtr<IDispatch> housing = sim_test::Objects(root.Get(), u"GetChildren")[0];
  ComPtr<IDispatch> model = Object(housing.Get(), u"GetModelDoc2");
  EXPECT_EQ(model.Get(), host_.Document(SampleDir() / "Housing.SLDPRT").Get());
  EXPECT_EQ("Comments", Text(Object(housing.Get(), u"FirstFeature").Get(), u"Name"));
  ComPtr<IUnknown> document;
  EXPECT_EQ(S_OK, model.Get()->QueryInterface(
                      published::kIidModelDoc2,
                      reinterpret_cast<void**>(document.ReleaseAndGetAddressOf())));
  EXPECT_EQ(Object(root.Get(), u"GetModelDoc2").Get(), gearbox_.Get());
  // A part has no children: no list.
  EXPECT_EQ(VT_EMPTY, sim_test::Answer(housing.Get(), u"GetChildren").Type());
}

TEST_F(ComponentsTest, APreviewPictureDependsOnFileAndConfiguration) {
  ComPtr<IDispatch> app = host_.Application();
  auto picture = [&](const std::filesystem::path& path, const char16_t* configuration) {
    return Object(app.Get(), u"GetPreviewBitmap", {Arg(path.u16string()), Arg(configuration)});
  };
  ComPtr<IDispatch> longShaft = picture(SampleDir() / "Shaft.SLDPRT", u"Long");
  ComPtr<IDispatch> shortShaft = picture(SampleDir() / "Shaft.SLDPRT", u"Short");
  ComPtr<IPicture> inner;
  ASSERT_EQ(S_OK, longShaft.As(&inner));
  LONG width = 0;
  inner->get_Width(&width);
  EXPECT_EQ(kPreviewSize, width);
  EXPECT_FALSE(picture(SampleDir() / "Shaft.SLDPRT", u"Medium"));
  EXPECT_FALSE(picture(SampleDir() / "None.SLDPRT", u"Long"));
  // A file that is not open is read for its configurations.
  host_.Close(SampleDir() / "Gearbox.SLDASM");
  EXPECT_TRUE(host_.OpenDocuments().empty());
  EXPECT_TRUE(picture(SampleDir() / "Bearing.SLDPRT", u"Default"));

  testing_support::TempDir dir;
  auto save = [&](IDispatch* saved, const char* name) {
    ScopedBstr file((dir / name).u16string());
    EXPECT_EQ(S_OK, OleSavePictureFile(saved, file.Get()));
    return testing_support::ReadFile(dir / name);
  };
  std::string longBytes = save(longShaft.Get(), "long.bmp");
  EXPECT_EQ("BM", longBytes.substr(0, 2));
  EXPECT_NE(longBytes, save(shortShaft.Get(), "short.bmp"));
  EXPECT_EQ(longBytes, save(picture(SampleDir() / "Shaft.SLDPRT", u"Long").Get(), "again.bmp"));
  EXPECT_NE(PreviewPixels(u"/a/Shaft.SLDPRT", u"Long"), PreviewPixels(u"/a/Shaft.SLDPRT", u"Lonh"));
}

}  // namespace
}  // namespace sim
