// CreateMenu with click forwarding: a menu definition from the caller is
// built into command groups of the simulated host, then every command of
// the command map is clicked and forwarded to an event source. Whatever the
// definition, the build ends with one of its documented results, every
// click sends at most one element, and the groups go again without a host
// reference left behind.
#include <filesystem>
#include <string>
#include <string_view>

#include "addin/command_callbacks.h"
#include "addin/command_groups.h"
#include "addin/menu_builder.h"
#include "fuzz/fuzz_target.h"
#include "host/published/binding.h"
#include "platform/com_object.h"
#include "platform/text.h"
#include "sim/sim_host.h"

namespace {

constexpr LONG kCookie = 3;

// The caller's event source: answers "FireClickMenu" and counts the clicks.
class EventSource final : public ComObject<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (count != 1 || !names || !ids) return E_INVALIDARG;
    *ids = std::u16string_view(names[0]) == u"FireClickMenu" ? 1 : DISPID_UNKNOWN;
    return *ids == 1 ? S_OK : DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    fuzz::FuzzCheck(id == 1 && params && params->cArgs == 3, "FireClickMenu with other arguments");
    for (UINT i = 0; i < 3; ++i) {
      fuzz::FuzzCheck(params->rgvarg[i].vt == VT_BSTR, "a FireClickMenu argument is no text");
    }
    ++clicks;
    return S_OK;
  }
  int clicks = 0;
};

}  // namespace

HARBOLT_FUZZ_TARGET(create_menu) {
  const std::u16string definition =
      platform::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
  // A host of its own for every input: the host remembers every group ever
  // made, and one host for all inputs would grow without end.
  sim::SimHost host;
  host.SetRecording(false);
  host.Open(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Shaft.SLDPRT");
  const long references = host.References();
  {
    ComPtr<IHostApplication> application = published::BindApplication(host.Application().Get());
    ComPtr<IHostCommandManager> manager;
    application->GetCommandManager(kCookie, manager.ReleaseAndGetAddressOf());
    CommandGroups groups;
    LONG errNumber = 0;
    std::u16string errDescription;
    const HRESULT built =
        MenuBuilder(manager.Get(), groups).Build(definition, errNumber, errDescription);
    fuzz::FuzzCheck(built == S_OK || built == E_INVALIDARG || built == E_FAIL,
                    "CreateMenu gave an undocumented result");
    fuzz::FuzzCheck(errNumber == -1 || errNumber == 1, "CreateMenu left no error number");
    fuzz::FuzzCheck(groups.commandMap().size() <= 100, "more than 100 commands were made");

    ComPtr<EventSource> source = MakeComObject<EventSource, EventSource>();
    for (const auto& [number, id] : groups.commandMap()) {
      fuzz::FuzzCheck(number >= 100 && number <= 199, "a callback number outside 100-199");
      const int before = source->clicks;
      const HRESULT clicked =
          harbolt::ForwardMenuClick(number, groups, application.Get(), source.Get(), u"cax");
      fuzz::FuzzCheck(source->clicks - before <= 1, "one click sent more than one event");
      fuzz::FuzzCheck(clicked == S_OK || clicked == S_FALSE, "a click failed");
    }
    // Numbers without a command answer S_FALSE (or S_OK without a menu).
    const HRESULT unknown =
        harbolt::ForwardMenuClick(99, groups, application.Get(), source.Get(), u"cax");
    fuzz::FuzzCheck(unknown == S_FALSE || unknown == S_OK, "an unknown number was clicked");
    groups.RemoveGroups(manager.Get());
  }
  fuzz::FuzzCheck(host.References() == references, "host references left by the menu");
  return 0;
}
