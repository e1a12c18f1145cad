// The add-in registered and loaded as the host loads it, reached through IDispatch.
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

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallerStandIn;
using testing_support::CallMember;
using testing_support::LongProperty;
using testing_support::TextProperty;

inline constexpr char16_t kAddinClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";
inline constexpr LONG kCookie = 7;
inline constexpr HRESULT kNotImplemented = MakeHresult(0x80004001);
inline constexpr HRESULT kFailed = MakeHresult(0xFFFFFFFF);
inline constexpr char16_t kMenuNodeMissing[] = u"CHarbolt::CreateMenu():menuNode not exists";

inline std::u16string ModulePath() { return platform::AnsiToWide(HARBOLT_MODULE_PATH); }
inline std::filesystem::path Sample(const char* name) {
  return std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}
inline std::u16string Wide(const std::filesystem::path& path) {
  return platform::Utf8ToUtf16(path.string());
}

// "title|tooltip|hint|position|toolbar|activations";
// "name|hint|tooltip|position|image|callback|enable|userId".
inline std::string Describe(const sim::CommandGroupRecord& g) {
  return platform::Utf16ToUtf8(g.title + u"|" + g.tooltip + u"|" + g.hint) + "|" +
         std::to_string(g.position) + "|" +
         (g.hasToolbar ? std::to_string(*g.hasToolbar) : "unset") + "|" +
         std::to_string(g.activations);
}
inline std::string Describe(const sim::CommandItemRecord& i) {
  return platform::Utf16ToUtf8(i.name + u"|" + i.hint + u"|" + i.tooltip) + "|" +
         std::to_string(i.position) + "|" + std::to_string(i.imageIndex) + "|" +
         platform::Utf16ToUtf8(i.callback + u"|" + i.enableMethod) + "|" + std::to_string(i.userId);
}

// The module loaded directly, for its class objects.
class LoadedModule {
 public:
  LoadedModule() : module_(LoadLibraryW(ModulePath().c_str())) {}
  ~LoadedModule() { FreeLibrary(module_); }
  HRESULT GetClassObject(REFCLSID clsid, ComPtr<IClassFactory>* factory) {
    return reinterpret_cast<HRESULT (*)(REFCLSID, REFIID, void**)>(
        GetProcAddress(module_, "DllGetClassObject"))(
        clsid, IidOf<IClassFactory>(), reinterpret_cast<void**>(factory->ReleaseAndGetAddressOf()));
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
    return reinterpret_cast<HRESULT (*)()>(GetProcAddress(module_, "DllCanUnloadNow"))();
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
  void Connect() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    ASSERT_EQ(S_OK, loader_.Load(application_.Get(), kAddinClsid, kCookie, &connected));
    EXPECT_EQ(VARIANT_TRUE, connected);
    harbolt_ = loader_.Dispatch();
    ASSERT_TRUE(harbolt_);
  }
  // Disconnects and releases every reference on the add-in; the module stays.
  HRESULT DisconnectAndRelease(VARIANT_BOOL* disconnected = nullptr) {
    HRESULT hr = loader_.Disconnect(disconnected);
    harbolt_ = nullptr;
    loader_.Release();
    return hr;
  }
  IDispatch* harbolt() const { return harbolt_.Get(); }
  LONG ErrorNumber() { return LongProperty(harbolt(), u"errNumber"); }
  std::u16string ErrorDescription() { return TextProperty(harbolt(), u"errDescription"); }
  const sim::CommandBoard& commands() { return host_.Commands(kCookie); }
  size_t SinksOn(const char* sample) { return host_.DocumentSinkCount(Sample(sample)); }
  // The live group with that id; fails the test when there is none.
  const sim::CommandGroupRecord& Group(LONG id) {
    const sim::CommandGroupRecord* group = commands().LiveGroup(id);
    EXPECT_NE(nullptr, group) << "no group " << id;
    static const sim::CommandGroupRecord kNone;
    return group ? *group : kNone;
  }
  std::vector<HRESULT> FireFileNew() {
    return host_.FireApplicationEvent(published::app_event::kFileNewNotify2,
                                      {ComPtr<IDispatch>(), sim::kDocTypePart, std::u16string()});
  }
  ComPtr<CallerStandIn> NewEventSource() {
    ComPtr<CallerStandIn> source = MakeComObject<CallerStandIn, CallerStandIn>();
    EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(source.Get())}));
    return source;
  }
  testing_support::TempDir dir_;
  testing_support::ScopedEnv registry_;
  sim::SimHost host_;
  ComPtr<IDispatch> application_;
  loader::AddinLoader loader_;
  ComPtr<IDispatch> harbolt_;
};

class ConnectedTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    Connect();
  }
};

}  // namespace addin_test
