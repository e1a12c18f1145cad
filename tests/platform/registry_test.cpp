#include "platform/registry.h"

#include <gtest/gtest.h>

#include <string>

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
  // The text of a value, or "<missing>".
  std::u16string GetString(HKEY root, const char16_t* path, const char16_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return u"<missing>";
    char16_t buffer[256] = {};
    DWORD bytes = sizeof buffer, type = 0;
    LSTATUS status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? buffer : u"<missing>";
  }
  bool Exists(HKEY root, const char16_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv env_;
};

TEST_F(RegistryTest, ValuesPersistInTheFileAndIgnoreCase) {
  SetString(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\InprocServer32", nullptr, u"/opt/libharbolt.so");
  SetString(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\InprocServer32", u"ThreadingModel",
            u"apartment");
  SetString(HKEY_CLASSES_ROOT, u"Harbolt.Harbolt", nullptr, u"Harbolt \"Class\"\n零件\\x");
  EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, u"clsid\\{1c227c16}\\inprocserver32", u""),
            u"/opt/libharbolt.so");
  EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, u"CLSID\\{1C227C16}\\InprocServer32", u"threadingmodel"),
            u"apartment");
  EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, u"Harbolt.Harbolt", nullptr), u"Harbolt \"Class\"\n零件\\x");
  EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, u"CLSID"));  // parents are created
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, u"CLSID"));
  EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, u"CLSID", u"nothing"), u"<missing>");

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Host\\AddIns\\{X}", 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD zero = 0;
  ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 4),
            ERROR_SUCCESS);
  DWORD value = 7, type = 0, bytes = 4;
  ASSERT_EQ(RegQueryValueExW(key, u"", nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(value, 0u);
  char16_t small[1];
  bytes = sizeof small;
  EXPECT_EQ(RegDeleteValueW(key, u"absent"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  SetString(HKEY_CLASSES_ROOT, u"Long", nullptr, u"more than two bytes");
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"Long", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(small), &bytes),
            ERROR_MORE_DATA);
  EXPECT_EQ(bytes, 40u);
  RegCloseKey(key);
}

TEST_F(RegistryTest, DeletingKeysRespectsChildren) {
  SetString(HKEY_CLASSES_ROOT, u"AppID\\{A}", nullptr, u"Harbolt");
  SetString(HKEY_CLASSES_ROOT, u"AppID\\{A}-x", nullptr, u"sibling sorting between");
  SetString(HKEY_CLASSES_ROOT, u"AppID\\{A}\\Sub", nullptr, u"child");
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"AppID\\{A}"), ERROR_KEY_HAS_CHILDREN);
  EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, u"AppID\\{A}"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, u"AppID\\{A}\\Sub"));
  EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, u"AppID\\{A}"));
  EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, u"AppID\\{A}-x"));
  EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, u"AppID"));
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"AppID\\{A}"), ERROR_FILE_NOT_FOUND);

  HKEY appId = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"AppID", 0, KEY_READ, &appId), ERROR_SUCCESS);
  char16_t name[64];
  DWORD chars = 64;
  ASSERT_EQ(RegEnumKeyExW(appId, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name), u"{A}-x");
  chars = 64;
  EXPECT_EQ(RegEnumKeyExW(appId, 1, name, &chars, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  RegCloseKey(appId);
}

TEST_F(RegistryTest, AForeignFileIsReportedNotOverwritten) {
  testing_support::WriteFile(dir_ / "registry", "not a registry\n");
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"X", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_BADDB);
  EXPECT_EQ(testing_support::ReadFile(dir_ / "registry"), "not a registry\n");
}

}  // namespace
