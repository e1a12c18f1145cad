// The vocabulary of the add-in's tests: a simulated host with the add-in
// registered (in a registry of the test's own) and loaded the way the host
// loads it, reached afterwards through IDispatch as the caller reaches it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/published/published_ids.h"
#include "loader/addin_loader.h"
#include "platform/com_ptr.h"
#include "platform/module.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/support/caller_stand_in.h"
#include "tests/support/dispatch_caller.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace addin_test {

inline constexpr char16_t kAddinClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";
inline constexpr LONG kCookie = 7;
inline constexpr HRESULT kNotImplemented = MakeHresult(0x80004001);

inline std::u16string ModulePath() { return platform::AnsiToWide(HARBOLT_MODULE_PATH); }
inline std::filesystem::path Sample(const char* name) {
  return std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}

// The module loaded directly, for its class objects.
class LoadedModule {
 public:
  LoadedModule() : module_(LoadLibraryW(ModulePath().c_str())) {}
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  ~LoadedModule() {
    if (module_) FreeLibrary(module_);
  }

  bool loaded() const { return module_ != nullptr; }
  HRESULT GetClassObject(REFCLSID clsid, ComPtr<IClassFactory>* factory) {
    using Function = HRESULT (*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<Function>(GetProcAddress(module_, "DllGetClassObject"));
    if (!get) return E_UNEXPECTED;
    return get(clsid, IidOf<IClassFactory>(),
               reinterpret_cast<void**>(factory->ReleaseAndGetAddressOf()));
  }
  // A new instance of the class as interface I; null when that fails.
  template <typename I>
  ComPtr<I> Create(REFCLSID clsid) {
    ComPtr<IClassFactory> factory;
    ComPtr<I> object;
    if (SUCCEEDED(GetClassObject(clsid, &factory))) {
      factory->CreateInstance(nullptr, IidOf<I>(),
                              reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
    }
    return object;
  }
  HRESULT CanUnloadNow() {
    auto canUnload = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module_, "DllCanUnloadNow"));
    return canUnload ? canUnload() : E_UNEXPECTED;
  }

 private:
  HMODULE module_;
};

class AddinTest : public ::testing::Test {
 protected:
  AddinTest() : registry_("HARBOLT_REGISTRY", (dir_ / "registry").c_str()) {}

  void SetUp() override {
    ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(ModulePath()));
    application_ = host_.Application();
  }

  // Loads and connects the add-in as the host does; harbolt() is its
  // IDispatch afterwards.
  void Connect() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    ASSERT_EQ(S_OK, loader_.Load(application_.Get(), kAddinClsid, kCookie, &connected));
    EXPECT_EQ(VARIANT_TRUE, connected);
    harbolt_ = loader_.Dispatch();
    ASSERT_TRUE(harbolt_);
  }
  // Disconnects, releases every reference on the add-in and lets the host
  // forget it; the module stays loaded.
  HRESULT DisconnectAndRelease(VARIANT_BOOL* disconnected = nullptr) {
    HRESULT hr = loader_.Disconnect(disconnected);
    harbolt_ = nullptr;
    loader_.Release();
    return hr;
  }

  IDispatch* harbolt() const { return harbolt_.Get(); }
  const sim::CommandBoard& commands() { return host_.Commands(kCookie); }
  size_t SinksOn(const char* sample) { return host_.DocumentSinkCount(Sample(sample)); }

  // Raises the host's new-document event with arguments of the host's kinds
  // (no document object: the add-in uses none of them).
  std::vector<HRESULT> FireFileNew() {
    return host_.FireApplicationEvent(published::app_event::kFileNewNotify2,
                                      {ComPtr<IDispatch>(), sim::kDocTypePart, std::u16string()});
  }

  // A caller's event source, handed to the add-in with SetEventSrc.
  ComPtr<testing_support::CallerStandIn> NewEventSource() {
    ComPtr<testing_support::CallerStandIn> source =
        MakeComObject<testing_support::CallerStandIn, testing_support::CallerStandIn>();
    EXPECT_EQ(S_OK, testing_support::Call(harbolt(), u"SetEventSrc",
                                          {testing_support::Arg::Dispatch(source.Get())}));
    return source;
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv registry_;
  sim::SimHost host_;
  ComPtr<IDispatch> application_;
  loader::AddinLoader loader_;
  ComPtr<IDispatch> harbolt_;
};

}  // namespace addin_test
