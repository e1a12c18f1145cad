// The module itself: registration, class objects, unload rule, bitmap handler.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "addin/harbolt_ids.h"
#include "host/host_pm_page.h"
#include "platform/registrar.h"
#include "platform/registry.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kLibId[] = u"{7B8BAA99-AB92-415D-A210-42402A6E7686}";
constexpr char16_t kAddinKey[] =
    u"SOFTWARE\\SolidWorks\\AddIns\\{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";

struct ClassEntry {
  std::u16string clsid, progId, versionIndependentProgId, friendlyName;
};
const ClassEntry kClasses[] = {
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

// The fixture's own registry, before the module is registered.
class RegistrationTest : public AddinTest {
 protected:
  void SetUp() override {}
  // A value as text ("dword:N" for a one-digit number), or "<no key>" / "<no value>".
  static std::u16string Text(HKEY root, const std::u16string& path,
                             const char16_t* name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return u"<no key>";
    char16_t buffer[1024] = {};
    DWORD bytes = sizeof buffer - sizeof(char16_t), type = 0;
    LSTATUS status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return u"<no value>";
    if (type == REG_DWORD) return u"dword:" + std::u16string(1, char16_t(u'0' + buffer[0]));
    return buffer;
  }
  // Every key below root, as "path\\to\\key".
  static std::set<std::u16string> Keys(HKEY root, const std::u16string& path = u"") {
    std::set<std::u16string> keys;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return keys;
    }
    char16_t name[256];
    DWORD chars = 256;
    for (DWORD i = 0;
         RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, chars = 256) {
      std::u16string child = path.empty() ? std::u16string(name) : path + u"\\" + name;
      keys.insert(child);
      keys.merge(Keys(root, child));
    }
    RegCloseKey(key);
    return keys;
  }
  std::u16string module_ = ModulePath();
};

TEST_F(RegistrationTest, WritesTheScriptTheClassesAndTheTypeLibrary) {
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));
  const std::u16string lib = u"TypeLib\\" + std::u16string(kLibId) + u"\\1.0";
  const std::u16string harboltKey = u"CLSID\\" + kClasses[0].clsid;
  const std::u16string iharbolt = u"Interface\\" + std::u16string(kInterfaces[0]);
  // The values the host and the loader read.
  EXPECT_EQ(module_, Text(HKEY_CLASSES_ROOT, lib + u"\\0\\win64"));
  EXPECT_EQ(module_.substr(0, module_.rfind(u'/') + 1),
            Text(HKEY_CLASSES_ROOT, lib + u"\\HELPDIR"));
  EXPECT_EQ(u"apartment",
            Text(HKEY_CLASSES_ROOT, harboltKey + u"\\InprocServer32", u"ThreadingModel"));
  // The class entries come after the script, so their names win where both write.
  for (const ClassEntry& c : kClasses) {
    EXPECT_EQ(c.friendlyName, Text(HKEY_CLASSES_ROOT, u"CLSID\\" + c.clsid));
    EXPECT_EQ(module_, Text(HKEY_CLASSES_ROOT, u"CLSID\\" + c.clsid + u"\\InprocServer32"));
  }
  EXPECT_EQ(u"dword:0", Text(HKEY_LOCAL_MACHINE, kAddinKey));
  EXPECT_EQ(u"Harbolt AddIn", Text(HKEY_LOCAL_MACHINE, kAddinKey, u"Description"));
  EXPECT_EQ(u"Harbolt", Text(HKEY_LOCAL_MACHINE, kAddinKey, u"Title"));
  // Nothing else: the full set of keys.
  std::set<std::u16string> expected = {
      harboltKey + u"\\TypeLib", lib, lib + u"\\0", lib + u"\\0\\win64", lib + u"\\FLAGS",
      lib + u"\\HELPDIR"};
  expected.insert({u"AppID", u"AppID\\Harbolt.DLL", u"CLSID", u"Interface", u"TypeLib"});
  expected.insert({u"AppID\\" + std::u16string(kLibId), u"TypeLib\\" + std::u16string(kLibId)});
  for (const ClassEntry& c : kClasses) {
    for (const char16_t* sub : {u"", u"\\ProgID", u"\\VersionIndependentProgID", u"\\Programmable",
                                u"\\InprocServer32"}) {
      expected.insert(u"CLSID\\" + c.clsid + sub);
    }
    expected.insert({c.progId, c.progId + u"\\CLSID", c.versionIndependentProgId,
                     c.versionIndependentProgId + u"\\CLSID",
                     c.versionIndependentProgId + u"\\CurVer"});
  }
  for (const char16_t* iid : kInterfaces) {
    std::u16string key = u"Interface\\" + std::u16string(iid);
    expected.insert({key, key + u"\\ProxyStubClsid32", key + u"\\TypeLib"});
  }
  EXPECT_EQ(expected, Keys(HKEY_CLASSES_ROOT));
  EXPECT_EQ((std::set<std::u16string>{u"SOFTWARE", u"SOFTWARE\\SolidWorks",
                                      u"SOFTWARE\\SolidWorks\\AddIns", kAddinKey}),
            Keys(HKEY_LOCAL_MACHINE));
  // Registering again changes nothing.
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));
  EXPECT_EQ(expected, Keys(HKEY_CLASSES_ROOT));
}

TEST_F(RegistrationTest, UnregistrationRemovesWhatItWroteAndLeavesTheRest) {
  ASSERT_EQ(S_OK, platform::UpdateRegistryFromScript(
                      u"HKCR { NoRemove CLSID { {0000} { InprocServer32 } } NoRemove AppID { "
                      u"'Other.DLL' } } HKLM { NoRemove SOFTWARE { NoRemove SolidWorks { NoRemove "
                      u"AddIns { {0000} } } } }",
                      {}, true));
  std::set<std::u16string> classesBefore = Keys(HKEY_CLASSES_ROOT);
  std::set<std::u16string> machineBefore = Keys(HKEY_LOCAL_MACHINE);
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_));
  ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module_, /*registering=*/false));
  // The type library's parents stay, as the type library registration leaves them.
  classesBefore.insert({u"Interface", u"TypeLib"});
  EXPECT_EQ(classesBefore, Keys(HKEY_CLASSES_ROOT));
  EXPECT_EQ(machineBefore, Keys(HKEY_LOCAL_MACHINE));
  // Unregistering what is not registered fails on the type library.
  EXPECT_TRUE(FAILED(loader::AddinLoader::RegisterModule(module_, false)));
  EXPECT_EQ(classesBefore, Keys(HKEY_CLASSES_ROOT));
}

TEST(ClassObjectsTest, ClassesAreCreatableLocksKeepTheModuleBitmapsBecomeFiles) {
  LoadedModule module;
  EXPECT_EQ(S_OK, module.CanUnloadNow());
  for (const CLSID* clsid : {&CLSID_Harbolt, &CLSID_BitmapHandler, &CLSID_SwDocument,
                             &CLSID_UserPropertyManagerPage, &CLSID_PMPageHandler}) {
    EXPECT_TRUE(module.Create<IDispatch>(*clsid))
        << platform::Utf16ToUtf8(platform::GuidToString(*clsid));
  }
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, module.GetClassObject(IidOf<IDispatch>(), &factory));
  ASSERT_EQ(S_OK, module.GetClassObject(CLSID_Harbolt, &factory));
  ComPtr<IUnknown> object;
  ComPtr<IDispatch> outer = module.Create<IDispatch>(CLSID_BitmapHandler);
  EXPECT_EQ(CLASS_E_NOAGGREGATION,
            factory->CreateInstance(outer.Get(), IidOf<IUnknown>(),
                                    reinterpret_cast<void**>(object.ReleaseAndGetAddressOf())));
  EXPECT_EQ(E_NOINTERFACE,
            factory->CreateInstance(nullptr, IidOf<IClassFactory>(),
                                    reinterpret_cast<void**>(object.ReleaseAndGetAddressOf())));
  outer = nullptr;
  ComPtr<ISupportErrorInfo> errors = module.Create<ISupportErrorInfo>(CLSID_Harbolt);
  ASSERT_TRUE(errors);
  EXPECT_EQ(S_OK, errors->InterfaceSupportsErrorInfo(
                      platform::GuidLiteral("{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}")));
  EXPECT_EQ(S_FALSE, errors->InterfaceSupportsErrorInfo(IidOf<ISwAddin>()));
  errors = nullptr;
  // A class object and a lock each keep the module.
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory = nullptr;
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  ASSERT_EQ(S_OK, module.GetClassObject(CLSID_Harbolt, &factory));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  ComPtr<IDispatch> document = module.Create<IDispatch>(CLSID_SwDocument);
  factory = nullptr;
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  document = nullptr;
  EXPECT_EQ(S_OK, module.CanUnloadNow());
  testing_support::TempDir dir;
  testing_support::ScopedEnv temp("TMPDIR", dir.path().c_str());
  ComPtr<IDispatch> handler = module.Create<IDispatch>(CLSID_BitmapHandler);
  ASSERT_TRUE(handler);
  auto create = [&](LONG id, HRESULT expected) -> fs::path {
    ScopedVariant path;
    EXPECT_EQ(expected,
              CallMember(handler.Get(), u"CreateBitmapFileFromResource", {Arg(id)}, path.Receive()))
        << id;
    if (path.Type() != VT_BSTR) return {};
    return platform::Utf16ToUtf8(BstrView(path.Get()->bstrVal));
  };
  auto filesInDir = [&] {
    return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
  };
  // An unknown resource, or a temporary directory that does not exist: no file.
  EXPECT_TRUE(create(999, E_FAIL).empty());
  EXPECT_EQ(0, filesInDir());
  testing_support::ScopedEnv missing("TMPDIR", (dir / "missing").c_str());
  EXPECT_TRUE(create(111, E_FAIL).empty());
  testing_support::ScopedEnv back("TMPDIR", dir.path().c_str());
  const std::pair<LONG, uint32_t> kSides[] = {{111, 16}, {112, 24}, {201, 16}, {202, 32}};
  std::set<fs::path> files;
  for (const auto& [id, side] : kSides) {
    fs::path file = create(id, S_OK);
    files.insert(file);
    EXPECT_EQ(dir.path(), file.parent_path()) << id;
    EXPECT_EQ(0u, file.filename().string().rfind("swt", 0)) << file;
    // A bitmap file of the resource's size (the format is the platform's).
    std::string bytes = testing_support::ReadFile(file);
    ASSERT_GE(bytes.size(), 54u) << file;
    EXPECT_EQ(side, static_cast<uint8_t>(bytes[18]) + 256u * static_cast<uint8_t>(bytes[19])) << id;
  }
  EXPECT_EQ(4u, files.size());
  EXPECT_EQ(S_OK, Call(handler.Get(), u"Dispose"));
  EXPECT_EQ(0, filesInDir());
  EXPECT_EQ(S_OK, Call(handler.Get(), u"Dispose"));  // nothing left to dispose
}

// The host calls the page handler only for a page the add-in shows, which it
// never does: every notification is taken, every question answered yes.
TEST(ClassObjectsTest, PageHandlerAnswersWithoutDoingAnything) {
  LoadedModule module;
  ComPtr<IPropertyManagerPage2Handler5> handler =
      module.Create<IPropertyManagerPage2Handler5>(CLSID_PMPageHandler);
  ASSERT_TRUE(handler);
  VARIANT_BOOL help = 0, previous = 0, next = 0;
  LONG created = 0;
  ScopedBstr text(u"t");
  const HRESULT answers[] = {handler->AfterActivation(),
                             handler->OnClose(2),
                             handler->AfterClose(),
                             handler->OnHelp(&help),
                             handler->OnPreviousPage(&previous),
                             handler->OnNextPage(&next),
                             handler->OnActiveXControlCreated(4, VARIANT_TRUE, &created),
                             handler->OnButtonPress(1),
                             handler->OnCheckboxCheck(1, VARIANT_TRUE),
                             handler->OnOptionCheck(1),
                             handler->OnTextboxChanged(1, text.Get()),
                             handler->OnNumberboxChanged(1, 2.5),
                             handler->OnComboboxSelectionChanged(1, 0),
                             handler->OnListboxSelectionChanged(1, 0),
                             handler->OnSelectionboxFocusChanged(1),
                             handler->OnSelectionboxListChanged(1, 3),
                             handler->OnGainedFocus(1),
                             handler->OnLostFocus(1)};
  for (size_t i = 0; i < std::size(answers); ++i) EXPECT_EQ(S_OK, answers[i]) << "call " << i;
  EXPECT_EQ((std::vector<long>{VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE, -1}),
            (std::vector<long>{help, previous, next, created}));
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, handler.As(&dispatch));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, testing_support::Invoke(dispatch.Get(), 1, DISPATCH_METHOD, {}));
}

}  // namespace
}  // namespace addin_test
