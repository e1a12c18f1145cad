// The registry kept in the file named by HARBOLT_REGISTRY, and registration scripts.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/registrar.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest() : env_("HARBOLT_REGISTRY", (dir_ / "registry").c_str()) {}
  void SetString(HKEY root, const char16_t* path, const char16_t* name, std::u16string value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * 2)),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  // A value as text ("dword:N" for a one-digit number), or "<missing>" / "<no value>".
  std::u16string Read(HKEY root, const char16_t* path, const char16_t* name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return u"<missing>";
    char16_t buffer[256] = {};
    DWORD bytes = sizeof buffer, type = 0;
    LSTATUS s =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (s != ERROR_SUCCESS) return u"<no value>";
    if (type == REG_DWORD) return u"dword:" + std::u16string(1, char16_t(u'0' + buffer[0]));
    return buffer;
  }
  testing_support::TempDir dir_;
  testing_support::ScopedEnv env_;
};

TEST_F(RegistryTest, ValuesPersistInTheFileIgnoreCaseAndAForeignFileIsKept) {
  SetString(HKEY_CLASSES_ROOT, u"CLSID\\{1C}\\Srv", nullptr, u"/opt/libharbolt.so");
  SetString(HKEY_CLASSES_ROOT, u"CLSID\\{1C}\\Srv", u"ThreadingModel", u"apartment");
  SetString(HKEY_CLASSES_ROOT, u"Harbolt.Harbolt", nullptr, u"Harbolt \"Class\"\n零件\\x");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"clsid\\{1c}\\srv", u""), u"/opt/libharbolt.so");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID\\{1C}\\Srv", u"threadingmodel"), u"apartment");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"Harbolt.Harbolt"), u"Harbolt \"Class\"\n零件\\x");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID"), u"<no value>");  // parents are created
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, u"CLSID"), u"<missing>");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID", u"nothing"), u"<no value>");
  SetString(HKEY_CLASSES_ROOT, u"Long", nullptr, u"more than two bytes");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"Long", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key, u"absent"), ERROR_FILE_NOT_FOUND);
  char16_t small[1];
  DWORD type = 0, bytes = sizeof small;
  EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(small), &bytes),
            ERROR_MORE_DATA);
  EXPECT_EQ(bytes, 40u);
  RegCloseKey(key);
  testing_support::WriteFile(dir_ / "registry", "not a registry\n");
  EXPECT_EQ(
      RegCreateKeyExW(HKEY_CLASSES_ROOT, u"X", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
      ERROR_BADDB);
  EXPECT_EQ(testing_support::ReadFile(dir_ / "registry"), "not a registry\n");
}

constexpr char16_t kScript[] =
    uR"(HKCR { NoRemove AppID { '%APPID%' = s 'Harbolt' 'Harbolt.DLL' { val AppID = s '%APPID%' } }
  NoRemove CLSID { ForceRemove {1C227C16} = s 'It''s 100%% ours' { ForceRemove Programmable
    InprocServer32 = s '%MODULE%' { val ThreadingModel = s 'apartment' } } } }
HKLM { NoRemove SOFTWARE { ForceRemove {1C227C16} = d '0' { val Title = s 'Harbolt' } } })";

HRESULT Apply(bool registering, const char16_t* script = kScript) {
  return platform::UpdateRegistryFromScript(
      script, {{u"APPID", u"{7B8B}"}, {u"MODULE", u"/opt/lib harbolt.so"}}, registering);
}

TEST_F(RegistryTest, ScriptsRegisterKeysValuesAndReplacements) {
  SetString(HKEY_CLASSES_ROOT, u"AppID\\{Other}", u"x", u"y");
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
  // Unregistering keeps NoRemove and foreign keys; a ForceRemove key goes whole.
  SetString(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\Foreign", nullptr, u"x");
  ASSERT_EQ(Apply(false), S_OK);
  for (const char16_t* gone : {u"AppID\\{7B8B}", u"AppID\\Harbolt.DLL", u"CLSID\\{1C227C16}"}) {
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, gone), u"<missing>");
  }
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"AppID\\{Other}", u"x"), u"y");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"CLSID"), u"<no value>");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, u"SOFTWARE\\{1C227C16}"), u"<missing>");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, u"SOFTWARE"), u"<no value>");
  EXPECT_EQ(Apply(false), S_OK);  // twice is harmless
}

TEST_F(RegistryTest, MalformedScriptsWriteNothing) {
  for (const char16_t* bad :
       {u"HKCR { Key = s 'unterminated }", u"HKXX { Key }", u"HKCR { Key = s '%UNKNOWN%' }",
        u"HKCR { Key = d 'abc' }", u"HKCR { Key { val = s 'x' }", u"HKCR { val X = s 'root' }"}) {
    EXPECT_EQ(Apply(true, bad), E_INVALIDARG) << std::string(bad, bad + 4);
  }
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, u"Key"), u"<missing>");
}

}  // namespace
