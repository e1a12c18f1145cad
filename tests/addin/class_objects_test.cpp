// The module's class objects and its unload rule.
#include <gtest/gtest.h>

#include "addin/harbolt_ids.h"
#include "host/host_pm_page.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

TEST(ClassObjectsTest, EveryClassIsCreatable) {
  LoadedModule module;
  ASSERT_TRUE(module.loaded());
  for (const CLSID* clsid : {&CLSID_Harbolt, &CLSID_BitmapHandler, &CLSID_SwDocument,
                             &CLSID_UserPropertyManagerPage, &CLSID_PMPageHandler}) {
    ComPtr<IDispatch> object = module.Create<IDispatch>(*clsid);
    EXPECT_TRUE(object) << platform::Utf16ToUtf8(platform::GuidToString(*clsid));
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
  ComPtr<ISwAddin> addin = module.Create<ISwAddin>(CLSID_Harbolt);
  ComPtr<ISupportErrorInfo> errors;
  ASSERT_EQ(S_OK, addin.As(&errors));
  EXPECT_EQ(S_OK, errors->InterfaceSupportsErrorInfo(
                      platform::GuidLiteral("{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}")));
  EXPECT_EQ(S_FALSE, errors->InterfaceSupportsErrorInfo(IidOf<ISwAddin>()));
}

TEST(ClassObjectsTest, ObjectsAndLocksKeepTheModule) {
  LoadedModule module;
  EXPECT_EQ(S_OK, module.CanUnloadNow());
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, module.GetClassObject(CLSID_Harbolt, &factory));
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
}

TEST(ClassObjectsTest, TheModuleShowsOnlyItsFiveExports) {
  HMODULE module = LoadLibraryW(ModulePath().c_str());
  ASSERT_NE(nullptr, module);
  for (const char* name : {"DllCanUnloadNow", "DllGetClassObject", "DllMain", "DllRegisterServer",
                           "DllUnregisterServer"}) {
    EXPECT_NE(nullptr, GetProcAddress(module, name)) << name;
  }
  // The add-in's own code stays inside.
  EXPECT_EQ(nullptr, GetProcAddress(module, "_ZN14CHarboltModule9LockCountEv"));
  EXPECT_EQ(nullptr, GetProcAddress(module, "SysAllocString"));

  // The entry point: a start-up without a module handle fails; the module
  // still finds itself afterwards.
  using Entry = BOOL (*)(HINSTANCE, DWORD, void*);
  auto entry = reinterpret_cast<Entry>(GetProcAddress(module, "DllMain"));
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ(FALSE, entry(nullptr, 1, nullptr));
  EXPECT_EQ(TRUE, entry(module, 1, nullptr));
  EXPECT_EQ(TRUE, entry(module, 2, nullptr));  // thread attach: nothing to do
  FreeLibrary(module);
}

TEST(ClassObjectsTest, PageHandlerAnswersWithoutDoingAnything) {
  LoadedModule module;
  ComPtr<IPropertyManagerPage2Handler5> handler =
      module.Create<IPropertyManagerPage2Handler5>(CLSID_PMPageHandler);
  ASSERT_TRUE(handler);
  VARIANT_BOOL help = 0, previous = 0, next = 0;
  LONG created = 0;
  EXPECT_EQ(S_OK, handler->AfterActivation());
  EXPECT_EQ(S_OK, handler->OnClose(2));
  EXPECT_EQ(S_OK, handler->AfterClose());
  EXPECT_EQ(S_OK, handler->OnHelp(&help));
  EXPECT_EQ(S_OK, handler->OnPreviousPage(&previous));
  EXPECT_EQ(S_OK, handler->OnNextPage(&next));
  EXPECT_EQ(S_OK, handler->OnActiveXControlCreated(4, VARIANT_TRUE, &created));
  EXPECT_EQ(VARIANT_TRUE, help);
  EXPECT_EQ(VARIANT_TRUE, previous);
  EXPECT_EQ(VARIANT_TRUE, next);
  EXPECT_EQ(-1, created);
  ScopedBstr text(u"t");
  EXPECT_EQ(S_OK, handler->OnButtonPress(1));
  EXPECT_EQ(S_OK, handler->OnCheckboxCheck(1, VARIANT_TRUE));
  EXPECT_EQ(S_OK, handler->OnOptionCheck(1));
  EXPECT_EQ(S_OK, handler->OnTextboxChanged(1, text.Get()));
  EXPECT_EQ(S_OK, handler->OnNumberboxChanged(1, 2.5));
  EXPECT_EQ(S_OK, handler->OnComboboxSelectionChanged(1, 0));
  EXPECT_EQ(S_OK, handler->OnListboxSelectionChanged(1, 0));
  EXPECT_EQ(S_OK, handler->OnSelectionboxFocusChanged(1));
  EXPECT_EQ(S_OK, handler->OnSelectionboxListChanged(1, 3));
  EXPECT_EQ(S_OK, handler->OnGainedFocus(1));
  EXPECT_EQ(S_OK, handler->OnLostFocus(1));
  // The page handler's own interface has no members.
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, handler.As(&dispatch));
  UINT count = 0;
  EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, testing_support::Invoke(dispatch.Get(), 1, DISPATCH_METHOD, {}));
}

}  // namespace
}  // namespace addin_test
