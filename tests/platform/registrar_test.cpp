#include "platform/registrar.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr char16_t kScript[] = uR"(
HKCR
{
  NoRemove AppID
  {
    '%APPID%' = s 'Harbolt'
    'Harbolt.DLL'
    {
      val AppID = s '%APPID%'
    }
  }
  NoRemove CLSID
  {
    ForceRemove {1C227C16} = s 'It''s 100%% ours'
    {
      ForceRemove Programmable
      InprocServer32 = s '%MODULE%'
      {
        val ThreadingModel = s 'apartment'
      }
    }
  }
}
HKLM
{
  NoRemove SOFTWARE
  {
    ForceRemove {1C227C16} = d '0'
    {
      val Title = s 'Harbolt'
    }
  }
}
)";

class RegistrarTest : public ::testing::Test {
 protected:
  RegistrarTest() : env_("HARBOLT_REGISTRY", (dir_ / "registry").c_str()) {}

  HRESULT Apply(bool registering, const char16_t* script = kScript) {
    return platform::UpdateRegistryFromScript(
        script, {{u"APPID", u"{7B8B}"}, {u"MODULE", u"/opt/lib harbolt.so"}}, registering);
  }
  std::u16string Read(HKEY root, const char16_t* path, const char16_t* name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return u"<missing>";
    char16_t buffer[128] = {};
    DWORD bytes = sizeof buffer, type = 0;
    LSTATUS s =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (s != ERROR_SUCCESS) return u"<no value>";
    if (type == REG_DWORD) return u"dword:" + std::u16string(1, char16_t(u'0' + buffer[0]));
    return buffer;
  }
  void Create(HKEY root, const char16_t* path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv env_;
};

TEST_F(RegistrarTest, RegistersKeysValuesAndReplacements) {
  ASSERT_EQ(Apply(true), S_OK);
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"AppID\\{7B8B}"), u"Harbolt");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"AppID\\Harbolt.DLL", u"AppID"), u"{7B8B}");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}"), u"It's 100% ours");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\InprocServer32"), u"/opt/lib harbolt.so");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\InprocServer32", u"ThreadingModel"),
            u"apartment");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\Programmable"), u"<no value>");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, u"SOFTWARE\\{1C227C16}"), u"dword:0");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, u"SOFTWARE\\{1C227C16}", u"Title"), u"Harbolt");
}

TEST_F(RegistrarTest, UnregisteringKeepsNoRemoveKeysAndForeignSubkeys) {
  Create(HKEY_CLASSES_ROOT, u"AppID\\{Other}");
  ASSERT_EQ(Apply(true), S_OK);
  Create(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\Foreign");  // removed whole all the same
  ASSERT_EQ(Apply(false), S_OK);
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"AppID\\{7B8B}"), u"<missing>");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"AppID\\Harbolt.DLL"), u"<missing>");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}"), u"<missing>");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"AppID\\{Other}"), u"<no value>");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID"), u"<no value>");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, u"SOFTWARE\\{1C227C16}"), u"<missing>");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, u"SOFTWARE"), u"<no value>");
  EXPECT_EQ(Apply(false), S_OK);  // twice is harmless
}

TEST_F(RegistrarTest, MalformedScriptsWriteNothing) {
  for (const char16_t* bad : {u"HKCR { Key = s 'unterminated }", u"HKXX { Key }",
                              u"HKCR { Key = s '%UNKNOWN%' }", u"HKCR { Key = d 'abc' }",
                              u"HKCR { Key { val = s 'x' }", u"HKCR { val X = s 'root' }"}) {
    EXPECT_EQ(Apply(true, bad), E_INVALIDARG) << std::string(bad, bad + 4);
  }
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"Key"), u"<missing>");
}

}  // namespace
