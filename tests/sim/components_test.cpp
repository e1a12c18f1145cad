// Component trees per configuration: names with paths, suppression states,
// model documents, referenced configurations; and the preview pictures of
// component files.
#include <gtest/gtest.h>

#include "sim/preview_picture.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::SampleDir;
using sim_test::Take;

class ComponentsTest : public ::testing::Test {
 protected:
  void SetUp() override { gearbox_ = host_.Open(SampleDir() / "Gearbox.SLDASM"); }

  ComPtr<IHostComponent> Root(const char16_t* configuration, bool resolveForm = false) {
    ScopedBstr name(configuration);
    ComPtr<IHostConfiguration> owner;
    EXPECT_EQ(S_OK, gearbox_->GetConfiguration(name.Get(), owner.ReleaseAndGetAddressOf()));
    ComPtr<IHostComponent> root;
    if (resolveForm) {
      EXPECT_EQ(S_OK,
                owner->GetRootComponent2(kRootComponentResolve, root.ReleaseAndGetAddressOf()));
    } else {
      EXPECT_EQ(S_OK, owner->GetRootComponent(root.ReleaseAndGetAddressOf()));
    }
    return root;
  }
  // One line per component, depth first: indentation, then name, state,
  // referenced configuration, visibility, constraint status, file name and
  // whether the model document is there.
  static void Dump(IHostComponent* component, int depth, std::vector<std::string>* lines) {
    BSTR text = nullptr;
    component->GetName(&text);
    std::string line = std::string(static_cast<size_t>(depth) * 2, ' ') + "[" + Take(text) + "]";
    LONG number = 0;
    component->GetSuppressionState(&number);
    line += " state " + std::to_string(number);
    component->GetReferencedConfiguration(&text);
    line += " config " + Take(text);
    component->GetVisibility(&number);
    line += " visible " + std::to_string(number);
    component->GetConstraintStatus(&number);
    line += " constraint " + std::to_string(number);
    component->GetPathName(&text);
    line += " " + std::filesystem::path(Take(text)).filename().string();
    ComPtr<IDispatch> model;
    EXPECT_EQ(S_OK, component->GetModelDoc(model.ReleaseAndGetAddressOf()));
    line += model ? " loaded" : " not loaded";
    lines->push_back(line);
    LONG count = 0;
    EXPECT_EQ(S_OK, component->GetChildrenCount(&count));
    SAFEARRAY* children = nullptr;
    EXPECT_EQ(S_OK, component->GetChildren(&children));
    ScopedSafeArray owned(children);
    EXPECT_EQ(count, owned.Count());
    for (LONG i = 0; i < owned.Count(); ++i) {
      ComPtr<IDispatch> object;
      SafeArrayGetElement(owned.Get(), &i, object.ReleaseAndGetAddressOf());
      ComPtr<IHostComponent> child;
      ASSERT_EQ(S_OK, object.As(&child));
      Dump(child.Get(), depth + 1, lines);
    }
  }
  std::vector<std::string> Tree(const char16_t* configuration, bool resolveForm = false) {
    std::vector<std::string> lines;
    Dump(Root(configuration, resolveForm).Get(), 0, &lines);
    return lines;
  }

  SimHost host_;
  ComPtr<IHostModelDoc> gearbox_;
};

TEST_F(ComponentsTest, EachConfigurationHasItsTree) {
  EXPECT_EQ((std::vector<std::string>{
                "[] state 2 config Default visible 1 constraint 2 Gearbox.SLDASM loaded",
                "  [Housing-1] state 3 config Default visible 1 constraint 2 Housing.SLDPRT loaded",
                "  [Shaft-1] state 3 config Long visible 1 constraint 2 Shaft.SLDPRT loaded",
                "  [Shaft-2] state 3 config Short visible 1 constraint 1 Shaft.SLDPRT loaded",
                "  [BearingSet-1] state 3 config Default visible 1 constraint 2 BearingSet.SLDASM "
                "loaded",
                "    [BearingSet-1/Bearing-1] state 3 config Default visible 1 constraint 2 "
                "Bearing.SLDPRT loaded",
                "    [BearingSet-1/Bearing-2] state 3 config Default visible 1 constraint 1 "
                "Bearing.SLDPRT loaded"}),
            Tree(u"Default"));
  EXPECT_EQ(Tree(u"Default"), Tree(u"Default", /*resolveForm=*/true));
}

TEST_F(ComponentsTest, SuppressedAndLightweightComponentsHaveNoModelDocument) {
  EXPECT_EQ((std::vector<std::string>{
                "[] state 2 config Compact visible 1 constraint 2 Gearbox.SLDASM loaded",
                "  [Housing-1] state 3 config Heavy visible 1 constraint 2 Housing.SLDPRT loaded",
                "  [Shaft-1] state 3 config Short visible 1 constraint 2 Shaft.SLDPRT loaded",
                "  [Shaft-2] state 0 config Short visible 0 constraint 2 Shaft.SLDPRT not loaded",
                "  [BearingSet-1] state 1 config Default visible 1 constraint 2 BearingSet.SLDASM "
                "not loaded",
                "    [BearingSet-1/Bearing-1] state 1 config Default visible 1 constraint 2 "
                "Bearing.SLDPRT not loaded",
                "    [BearingSet-1/Bearing-2] state 1 config Default visible 1 constraint 1 "
                "Bearing.SLDPRT not loaded"}),
            Tree(u"Compact"));
}

TEST_F(ComponentsTest, EverythingInsideASuppressedSubassemblyIsSuppressed) {
  host_.Model(gearbox_.Get())->configurations[1].components[3].state = kComponentSuppressed;
  std::vector<std::string> tree = Tree(u"Compact");
  ASSERT_EQ(7u, tree.size());
  EXPECT_NE(std::string::npos, tree[5].find("[BearingSet-1/Bearing-1] state 0"));
  EXPECT_NE(std::string::npos, tree[6].find("[BearingSet-1/Bearing-2] state 0"));
}

TEST_F(ComponentsTest, AComponentsModelIsTheOpenDocument) {
  ComPtr<IHostComponent> root = Root(u"Default");
  SAFEARRAY* children = nullptr;
  root->GetChildren(&children);
  ScopedSafeArray owned(children);
  LONG first = 0;
  ComPtr<IDispatch> object;
  SafeArrayGetElement(owned.Get(), &first, object.ReleaseAndGetAddressOf());
  ComPtr<IHostComponent> housing;
  ASSERT_EQ(S_OK, object.As(&housing));
  ComPtr<IDispatch> model;
  housing->GetModelDoc(model.ReleaseAndGetAddressOf());
  ComPtr<IHostModelDoc> document;
  ASSERT_EQ(S_OK, model.As(&document));
  ComPtr<IUnknown> a;
  ComPtr<IUnknown> b;
  document.As(&a);
  host_.Document(SampleDir() / "Housing.SLDPRT").As(&b);
  EXPECT_EQ(a.Get(), b.Get());
  // The root's model document is the assembly itself.
  ComPtr<IDispatch> rootModel;
  root->GetModelDoc(rootModel.ReleaseAndGetAddressOf());
  ComPtr<IUnknown> c;
  ComPtr<IUnknown> d;
  rootModel.As(&c);
  gearbox_.As(&d);
  EXPECT_EQ(c.Get(), d.Get());
}

TEST_F(ComponentsTest, APreviewPictureDependsOnFileAndConfiguration) {
  ComPtr<IHostApplication> app = host_.Application();
  auto picture = [&](const std::filesystem::path& path, const char16_t* configuration) {
    ScopedBstr file(path.u16string());
    ScopedBstr name(configuration);
    ComPtr<IPictureDisp> result;
    EXPECT_EQ(S_OK,
              app->GetPreviewPicture(file.Get(), name.Get(), result.ReleaseAndGetAddressOf()));
    return result;
  };
  ComPtr<IPictureDisp> longShaft = picture(SampleDir() / "Shaft.SLDPRT", u"Long");
  ComPtr<IPictureDisp> shortShaft = picture(SampleDir() / "Shaft.SLDPRT", u"Short");
  ASSERT_TRUE(longShaft);
  ASSERT_TRUE(shortShaft);
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
  ScopedBstr first((dir / "long.bmp").u16string());
  ScopedBstr second((dir / "short.bmp").u16string());
  ScopedBstr third((dir / "again.bmp").u16string());
  ASSERT_EQ(S_OK, OleSavePictureFile(longShaft.Get(), first.Get()));
  ASSERT_EQ(S_OK, OleSavePictureFile(shortShaft.Get(), second.Get()));
  ASSERT_EQ(S_OK,
            OleSavePictureFile(picture(SampleDir() / "Shaft.SLDPRT", u"Long").Get(), third.Get()));
  std::string longBytes = testing_support::ReadFile(dir / "long.bmp");
  EXPECT_EQ("BM", longBytes.substr(0, 2));
  EXPECT_NE(longBytes, testing_support::ReadFile(dir / "short.bmp"));
  EXPECT_EQ(longBytes, testing_support::ReadFile(dir / "again.bmp"));
  EXPECT_NE(PreviewPixels(u"/a/Shaft.SLDPRT", u"Long"), PreviewPixels(u"/a/Shaft.SLDPRT", u"Lonh"));
}

}  // namespace
}  // namespace sim
