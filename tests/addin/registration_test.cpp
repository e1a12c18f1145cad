// What registering and unregistering the module writes into and removes
// from the registry.
#include "addin/registration.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/registry.h"
#include "platform/system_info.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

constexpr char16_t kLibId[] = u"{7B8BAA99-AB92-415D-A210-42402A6E7686}";
constexpr char16_t kAddinKey[] =
    u"SOFTWARE\\SolidWorks\\AddIns\\{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";

struct ClassEntry {
  const char16_t* clsid;
  const char16_t* progId;
  const char16_t* versionIndependentProgId;
  const char16_t* friendlyName;
};
constexpr ClassEntry kClasses[] = {
    {u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}", u"Harbolt.Harbolt.1", u"Harbolt.Harbolt",
     u"CHarbolt Object"},
    {u"{E78843C2-6D58-4740-9A12-AACD2D9F758E}", u"HarboltSwDocument.1", u"Harbolt.SwDocument",
     u"CSwDocument Object"},
    {u"{989EA71E-49C5-45B8-9E33-66C9A9B3D053}", u"Harbolt.UserPropertyManagerPage.1",
     u"Harbolt.UserPropertyManagerPage", u"CUserPropertyManagerPage Object"},
    {u"{602E823B-27A9-48D2-85D5-51F1AAFF4078}", u"Harbolt.BitmapHandler.1",
     u"Harbolt.BitmapHandler", u"CBitmapHandler Object"},
    {u"{0FC50805-A760-47E0-A4E3-423B7EF579C9}", u"Harbolt.PMPageHandler.1",
     u"Harbolt.PMPageHandler", u"CPMPageHandler Object"},
};
constexpr const char16_t* kInterfaces[] = {
    u"{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}", u"{BE119BDB-5B58-4765-8A82-89C83B847643}",
    u"{922FE20B-A06F-4593-9A30-C7FBEAFFF7B2}", u"{2CBF10A6-9DC8-48D4-98C7-DDCDA85B8344}",
    u"{0936E911-3E03-4A68-BDD4-A52090993EF1}",
};

// A registry of the test's own; the module is not loaded by the fixture.
class RegistrationTest : public ::testing::Test {
 protected:
  RegistrationTest() : registry_("HARBOLT_REGISTRY", (dir_ / "registry").c_str()) {}

  static std::u16string Text(HKEY root, const std::u16string& path,
                             const char16_t* name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return u"<no key>";
    char16_t buffer[1024] = {};
    DWORD bytes = sizeof buffer - sizeof(char16_t);
    DWORD type = 0;
    LSTATUS status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return u"<no value>";
    if (type != REG_SZ) return u"<not text>";
    return buffer;
  }
  static DWORD Number(HKEY root, const std::u16string& path, const char16_t* name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xBAD;
    DWORD value = 0xBAD, bytes = sizeof value, type = 0;
    LSTATUS status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD ? value : 0xBAD;
  }
  static void Create(HKEY root, const std::u16string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
  }
  // Every key below root, as "path\\to\\key".
  static std::set<std::u16string> Keys(HKEY root, const std::u16string& path = u"") {
    std::set<std::u16string> keys;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return keys;
    }
    for (DWORD i = 0;; ++i) {
      char16_t name[256];
      DWORD chars = 256;
      if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      std::u16string child = path.empty() ? std::u16string(name) : path + u"\\" + name;
      keys.insert(child);
      std::set<std::u16string> below = Keys(root, child);
      keys.insert(below.begin(), below.end());
    }
    RegCloseKey(key);
    return keys;
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv registry_;
  std::u16string module_ = ModulePath();
};

TEST_F(RegistrationTest, WritesTheScriptTheClassesAndTheTypeLibrary) {
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));

  // Script 101.
  EXPECT_EQ(u"Harbolt", Text(HKEY_CLASSES_ROOT, u"AppID\\" + std::u16string(kLibId)));
  EXPECT_EQ(kLibId, Text(HKEY_CLASSES_ROOT, u"AppID\\Harbolt.DLL", u"AppID"));
  const std::u16string clsidKey = u"CLSID\\{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";
  EXPECT_EQ(u"{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}",
            Text(HKEY_CLASSES_ROOT, clsidKey + u"\\TypeLib"));
  EXPECT_EQ(0u, Number(HKEY_LOCAL_MACHINE, kAddinKey));
  EXPECT_EQ(u"Harbolt AddIn", Text(HKEY_LOCAL_MACHINE, kAddinKey, u"Description"));
  EXPECT_EQ(u"Harbolt", Text(HKEY_LOCAL_MACHINE, kAddinKey, u"Title"));

  // Every class; the class entries come after the script, so their names
  // win where both write.
  for (const ClassEntry& c : kClasses) {
    std::u16string key = u"CLSID\\" + std::u16string(c.clsid);
    SCOPED_TRACE(platform::Utf16ToUtf8(c.progId));
    EXPECT_EQ(c.friendlyName, Text(HKEY_CLASSES_ROOT, c.progId));
    EXPECT_EQ(c.clsid, Text(HKEY_CLASSES_ROOT, c.progId + std::u16string(u"\\CLSID")));
    EXPECT_EQ(c.friendlyName, Text(HKEY_CLASSES_ROOT, c.versionIndependentProgId));
    EXPECT_EQ(c.clsid,
              Text(HKEY_CLASSES_ROOT, c.versionIndependentProgId + std::u16string(u"\\CLSID")));
    EXPECT_EQ(c.progId,
              Text(HKEY_CLASSES_ROOT, c.versionIndependentProgId + std::u16string(u"\\CurVer")));
    EXPECT_EQ(c.friendlyName, Text(HKEY_CLASSES_ROOT, key));
    EXPECT_EQ(kLibId, Text(HKEY_CLASSES_ROOT, key, u"AppID"));
    EXPECT_EQ(c.progId, Text(HKEY_CLASSES_ROOT, key + u"\\ProgID"));
    EXPECT_EQ(c.versionIndependentProgId,
              Text(HKEY_CLASSES_ROOT, key + u"\\VersionIndependentProgID"));
    EXPECT_EQ(u"<no value>", Text(HKEY_CLASSES_ROOT, key + u"\\Programmable"));
    EXPECT_EQ(module_, Text(HKEY_CLASSES_ROOT, key + u"\\InprocServer32"));
    EXPECT_EQ(u"apartment", Text(HKEY_CLASSES_ROOT, key + u"\\InprocServer32", u"ThreadingModel"));
  }

  // The type library.
  const std::u16string lib = u"TypeLib\\" + std::u16string(kLibId) + u"\\1.0";
  EXPECT_EQ(u"Harbolt 1.0 Type Library", Text(HKEY_CLASSES_ROOT, lib));
  EXPECT_EQ(module_, Text(HKEY_CLASSES_ROOT, lib + u"\\0\\win64"));
  EXPECT_EQ(u"IHarbolt",
            Text(HKEY_CLASSES_ROOT, u"Interface\\{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}"));
  EXPECT_EQ(kLibId,
            Text(HKEY_CLASSES_ROOT, u"Interface\\{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}\\TypeLib"));

  // Nothing else: the full set of keys.
  std::set<std::u16string> expected = {u"AppID",
                                       u"AppID\\" + std::u16string(kLibId),
                                       u"AppID\\Harbolt.DLL",
                                       u"CLSID",
                                       u"Interface",
                                       u"TypeLib",
                                       u"TypeLib\\" + std::u16string(kLibId),
                                       lib,
                                       lib + u"\\0",
                                       lib + u"\\0\\win64",
                                       lib + u"\\FLAGS",
                                       lib + u"\\HELPDIR",
                                       clsidKey + u"\\TypeLib"};
  for (const ClassEntry& c : kClasses) {
    std::u16string key = u"CLSID\\" + std::u16string(c.clsid);
    for (const char16_t* sub : {u"", u"\\ProgID", u"\\VersionIndependentProgID", u"\\Programmable",
                                u"\\InprocServer32"}) {
      expected.insert(key + sub);
    }
    expected.insert(c.progId);
    expected.insert(c.progId + std::u16string(u"\\CLSID"));
    expected.insert(c.versionIndependentProgId);
    expected.insert(c.versionIndependentProgId + std::u16string(u"\\CLSID"));
    expected.insert(c.versionIndependentProgId + std::u16string(u"\\CurVer"));
  }
  for (const char16_t* iid : kInterfaces) {
    std::u16string key = u"Interface\\" + std::u16string(iid);
    expected.insert(key);
    expected.insert(key + u"\\ProxyStubClsid32");
    expected.insert(key + u"\\TypeLib");
  }
  std::set<std::u16string> actual = Keys(HKEY_CLASSES_ROOT);
  for (const std::u16string& key : expected) {
    EXPECT_TRUE(actual.count(key)) << "missing " << platform::Utf16ToUtf8(key);
  }
  for (const std::u16string& key : actual) {
    EXPECT_TRUE(expected.count(key)) << "unexpected " << platform::Utf16ToUtf8(key);
  }
  EXPECT_EQ((std::set<std::u16string>{u"SOFTWARE", u"SOFTWARE\\SolidWorks",
                                      u"SOFTWARE\\SolidWorks\\AddIns", kAddinKey}),
            Keys(HKEY_LOCAL_MACHINE));
}

TEST_F(RegistrationTest, UnregistrationRemovesWhatItWroteAndLeavesTheRest) {
  Create(HKEY_CLASSES_ROOT, u"CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32");
  Create(HKEY_CLASSES_ROOT, u"AppID\\Other.DLL");
  Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\SolidWorks\\AddIns\\{00000000-1111-2222-3333-4444}");
  std::set<std::u16string> classesBefore = Keys(HKEY_CLASSES_ROOT);
  std::set<std::u16string> machineBefore = Keys(HKEY_LOCAL_MACHINE);

  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_, /*registering=*/false));

  // The type library's parents stay, as the type library registration
  // leaves them.
  classesBefore.insert(u"Interface");
  classesBefore.insert(u"TypeLib");
  EXPECT_EQ(classesBefore, Keys(HKEY_CLASSES_ROOT));
  EXPECT_EQ(machineBefore, Keys(HKEY_LOCAL_MACHINE));
  EXPECT_EQ(u"<no key>", Text(HKEY_CLASSES_ROOT, u"AppID\\" + std::u16string(kLibId)));
  EXPECT_EQ(u"<no key>", Text(HKEY_LOCAL_MACHINE, kAddinKey));
}

TEST_F(RegistrationTest, TheThreadLocaleIsRestoredWhateverTheOutcome) {
  constexpr LCID kGerman = 0x0407;
  SetThreadLocale(kGerman);
  EXPECT_EQ(S_OK, harbolt::RegisterServer(module_));
  EXPECT_EQ(kGerman, GetThreadLocale());
  EXPECT_EQ(E_FAIL, harbolt::RegisterServer(u""));  // no module to register
  EXPECT_EQ(kGerman, GetThreadLocale());
  EXPECT_EQ(S_OK, harbolt::UnregisterServer(module_));
  EXPECT_EQ(kGerman, GetThreadLocale());
  EXPECT_TRUE(FAILED(harbolt::UnregisterServer(module_)));  // nothing left to remove
  EXPECT_EQ(kGerman, GetThreadLocale());
  SetThreadLocale(LOCALE_USER_DEFAULT);
}

TEST_F(RegistrationTest, RegistrationCanBeRepeated) {
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));
  std::set<std::u16string> once = Keys(HKEY_CLASSES_ROOT);
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));
  EXPECT_EQ(once, Keys(HKEY_CLASSES_ROOT));
  // Unregistering what is not registered changes nothing and fails on the
  // type library.
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_, false));
  EXPECT_TRUE(FAILED(loader::AddinLoader::RegisterModule(module_, false)));
}

}  // namespace
}  // namespace addin_test
