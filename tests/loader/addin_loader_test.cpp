// Loading an add-in as the host does: through the registry, by CLSID.
#include "loader/addin_loader.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr char16_t kClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";

class AddinLoaderTest : public ::testing::Test {
 protected:
  AddinLoaderTest() : registry_("HARBOLT_REGISTRY", (dir_ / "registry").c_str()) {}

  static std::u16string Module() { return platform::AnsiToWide(HARBOLT_MODULE_PATH); }
  // Writes the default value of HKCR\path.
  static void SetDefault(const std::u16string& path, const std::u16string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv registry_;
  sim::SimHost host_;
  ComPtr<IDispatch> application_ = host_.Application();
};

TEST_F(AddinLoaderTest, LoadsConnectsAndUnloads) {
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(Module()));
  loader::AddinLoader loader;
  VARIANT_BOOL connected = VARIANT_FALSE;
  ASSERT_EQ(S_OK, loader.Load(application_.Get(), kClsid, 3, &connected));
  EXPECT_EQ(VARIANT_TRUE, connected);
  EXPECT_NE(nullptr, loader.module());
  EXPECT_TRUE(loader.Dispatch());
  EXPECT_TRUE(host_.CallbackTarget(3));
  // One add-in per loader.
  EXPECT_EQ(E_UNEXPECTED, loader.Load(application_.Get(), kClsid, 4));

  loader.Unload();
  EXPECT_EQ(nullptr, loader.module());
  EXPECT_FALSE(loader.addin());
  EXPECT_FALSE(host_.CallbackTarget(3));
  EXPECT_EQ(E_UNEXPECTED, loader.Disconnect());
}

TEST_F(AddinLoaderTest, FindsTheAddinOnlyThroughTheRegistry) {
  loader::AddinLoader loader;
  // Not registered at all.
  EXPECT_EQ(REGDB_E_CLASSNOTREG, loader.Load(application_.Get(), kClsid, 3));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, loader.Load(application_.Get(), u"not a clsid", 3));

  // Registered, but the module path leads nowhere.
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(Module()));
  SetDefault(u"CLSID\\" + std::u16string(kClsid) + u"\\InprocServer32",
             platform::AnsiToWide((dir_ / "missing.so").string()));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), loader.Load(application_.Get(), kClsid, 3));
  EXPECT_EQ(nullptr, loader.module());
  EXPECT_FALSE(host_.CallbackTarget(3));

  // A module that is not the add-in's.
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND),
            loader::AddinLoader::RegisterModule(u"/no/such/module.so"));
}

}  // namespace
