// Loading an add-in as the host does: through the registry, by CLSID.
#include "loader/addin_loader.h"

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/registrar.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr char16_t kClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";

class AddinLoaderTest : public ::testing::Test {
 protected:
  AddinLoaderTest() : registry_("HARBOLT_REGISTRY", (dir_ / "registry").c_str()) {}
  const std::u16string module_ = platform::AnsiToWide(HARBOLT_MODULE_PATH);
  testing_support::TempDir dir_;
  testing_support::ScopedEnv registry_;
  sim::SimHost host_;
  ComPtr<IDispatch> application_ = host_.Application();
  loader::AddinLoader loader_;
};

TEST_F(AddinLoaderTest, FindsTheAddinThroughTheRegistryLoadsConnectsAndUnloads) {
  EXPECT_EQ(REGDB_E_CLASSNOTREG, loader_.Load(application_.Get(), kClsid, 3));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, loader_.Load(application_.Get(), u"not a clsid", 3));
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));
  VARIANT_BOOL connected = VARIANT_FALSE;
  ASSERT_EQ(S_OK, loader_.Load(application_.Get(), kClsid, 3, &connected));
  EXPECT_EQ(VARIANT_TRUE, connected);
  EXPECT_NE(nullptr, loader_.module());
  EXPECT_EQ(E_UNEXPECTED, loader_.Load(application_.Get(), kClsid, 4));  // one add-in per loader
  loader_.Unload();
  EXPECT_EQ(nullptr, loader_.module());
  EXPECT_FALSE(loader_.addin());
  EXPECT_FALSE(host_.CallbackTarget(3));
  EXPECT_EQ(E_UNEXPECTED, loader_.Disconnect());
  // Registered, but the module path leads nowhere.
  ASSERT_EQ(
      S_OK,
      platform::UpdateRegistryFromScript(
          u"HKCR { NoRemove CLSID { NoRemove '%CLSID%' { InprocServer32 = s '%M%' } } }",
          {{u"CLSID", kClsid}, {u"M", platform::AnsiToWide((dir_ / "x.so").string())}}, true));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), loader_.Load(application_.Get(), kClsid, 3));
  EXPECT_EQ(nullptr, loader_.module());
  EXPECT_FALSE(host_.CallbackTarget(3));
  // A module that is not there cannot register.
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND),
            loader::AddinLoader::RegisterModule(u"/no/such/module.so"));
}

}  // namespace
