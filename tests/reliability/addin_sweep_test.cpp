// The add-in's own host operations through the loaded module (connection,
// document events, menus and clicks, file operations), every host call made
// to fail in turn: no crash, the documented result, no host object left.
#include <algorithm>
#include <functional>

#include "platform/bstr.h"
#include "platform/variant.h"
#include "tests/addin/addin_fixture.h"
#include "tests/reliability/fault_sweep.h"

namespace reliability {
namespace {

using namespace addin_test;
namespace doc_event = published::doc_event;

// The host with its documents and the add-in, checked when it is released.
struct Session {
  explicit Session(const std::vector<std::filesystem::path>& models) {
    for (const std::filesystem::path& model : models) host.Open(model);
    application = host.Application();
    objects = host.LiveObjects();
    references = host.References();
  }
  IDispatch* harbolt() const { return addin.Get(); }

  // The connection succeeds whatever its host-side steps got.
  void Connect() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    EXPECT_EQ(S_OK, loader.Load(application.Get(), kAddinClsid, kCookie, &connected));
    EXPECT_EQ(VARIANT_TRUE, connected);
    addin = loader.Dispatch();
    EXPECT_TRUE(addin);
  }

  // DisconnectFromSW (documented to answer E_NOTIMPL), then every reference released.
  void DisconnectAndRelease() {
    EXPECT_EQ(kNotImplemented, loader.Disconnect());
    addin = nullptr;
    eventSource = nullptr;
    loader.Release();
    EXPECT_EQ(objects, host.LiveObjects()) << "host objects left alive";
    EXPECT_EQ(references, host.References()) << "host references left";
  }

  ComPtr<CallerStandIn> EventSource() {
    if (!eventSource) {
      eventSource = MakeComObject<CallerStandIn, CallerStandIn>();
      EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(eventSource.Get())}));
    }
    return eventSource;
  }

  sim::SimHost host;
  ComPtr<IDispatch> application;
  loader::AddinLoader loader;
  ComPtr<IDispatch> addin;
  ComPtr<CallerStandIn> eventSource;
  long objects = 0, references = 0;
};

class AddinSweepTest : public ::testing::Test {
 protected:
  AddinSweepTest() { EXPECT_EQ(S_OK, loader::AddinLoader::RegisterModule(ModulePath())); }
  ~AddinSweepTest() override { FreeLibrary(module_); }

  // Per case a new session with the models open, setUp after the connection,
  // the fault, act (which checks its results), then the disconnection.
  static void SweepOperation(const std::string& name,
                             const std::vector<std::filesystem::path>& models,
                             const std::function<void(Session&, const Fault*)>& act,
                             const std::function<void(Session&)>& setUp = {}) {
    Sweep(name).Run([&](const Fault* fault) {
      Session session(models);
      session.Connect();
      if (setUp) setUp(session);
      session.host.ClearCalls();
      if (fault) fault->Apply(session.host);
      act(session, fault);
      std::vector<sim::HostCall> calls = session.host.Calls();
      session.host.ClearFaults();
      session.DisconnectAndRelease();
      return calls;
    });
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv registry_{"HARBOLT_REGISTRY", (dir_ / "registry").c_str()};
  testing_support::ScopedEnv drive_{"HARBOLT_DRIVE_C", (dir_ / "drive_c").c_str()};
  // Held for the test, so that no session loads the module anew.
  HMODULE module_ = LoadLibraryW(ModulePath().c_str());
};

TEST_F(AddinSweepTest, ConnectionAndDisconnection) {
  Sweep("connection with an assembly and a drawing open").Run([&](const Fault* fault) {
    Session session({Sample("Gearbox.SLDASM"), Sample("Gearbox.SLDDRW")});
    session.host.ClearCalls();
    if (fault) fault->Apply(session.host);
    session.Connect();
    session.DisconnectAndRelease();
    session.host.ClearFaults();
    return session.host.Calls();
  });
}

TEST_F(AddinSweepTest, DocumentEvents) {
  const std::filesystem::path gearbox = Sample("Gearbox.SLDASM");
  ComPtr<IDispatch> bearing, component, shaft, housing;
  auto setUp = [&](Session& session) {
    bearing = session.host.Document(Sample("Bearing.SLDPRT"));
    component = session.host.Component(gearbox, u"Default", u"BearingSet-1/Bearing-1");
    shaft = session.host.Component(gearbox, u"Default", u"Shaft-1");
    housing = session.host.Component(gearbox, u"Default", u"Housing-1");
  };
  auto act = [&](Session& session, const Fault*) {
    // Documents go away, and come back through the assembly's events: the
    // handlers report nothing to the host, whatever the host did.
    const struct {
      std::filesystem::path document;
      DISPID event;
      std::vector<sim::EventArg> args;
    } events[] = {{Sample("Shaft.SLDPRT"), doc_event::kDestroyNotify, {}},
                  {Sample("Bearing.SLDPRT"), doc_event::kDestroyNotify, {}},
                  {Sample("Housing.SLDPRT"), doc_event::kDestroyNotify, {}},
                  {gearbox, doc_event::kComponentVisualPropertiesChangeNotify, {shaft}},
                  {gearbox, doc_event::kComponentStateChangeNotify, {bearing, LONG{1}, LONG{3}}},
                  {gearbox,
                   doc_event::kComponentStateChangeNotify2,
                   {component, std::u16string(u"BearingSet-1/Bearing-1"), LONG{1}, LONG{2}}},
                  {gearbox, doc_event::kComponentDisplayStateChangeNotify, {housing}},
                  {gearbox, doc_event::kFileSaveNotify, {std::u16string(u"/x")}}};
    for (const auto& event : events) {
      EXPECT_EQ(std::vector<HRESULT>{S_OK},
                session.host.FireDocumentEvent(event.document, event.event, event.args))
          << event.event;
    }
    bearing = component = shaft = housing = nullptr;
  };
  SweepOperation("document events of an assembly", {gearbox}, act, setUp);
}

// The caller's menu: two commands at the top, a separator, a submenu with a
// command and a submenu in it.
constexpr char16_t kMenu[] =
    u"<mnus caption='Main'><mnu id='3' caption='Export'/><mnu id='-1'/>"
    u"<mnu id='-2' caption='Tools'><mnu id='4' caption='Check'/>"
    u"<mnu id='-2' caption='Deep'><mnu id='5' caption='Inner'/></mnu></mnu>"
    u"<mnu id='6' caption='Import'/></mnus>";

TEST_F(AddinSweepTest, CreateMenuAndClicks) {
  const std::u16string shaft = Sample("Shaft.SLDPRT").u16string();
  auto setUp = [](Session& session) {
    session.EventSource();
    EXPECT_EQ(S_OK, Call(session.harbolt(), u"SetCaxHandle", {Arg(u"cax")}));
  };
  auto act = [&](Session& session, const Fault* fault) {
    // The result is the host's status for the logout command or the last
    // submenu group (a group the host did not make is an invalid argument);
    // the other calls are not examined.
    const HRESULT built = CallMember(session.harbolt(), u"CreateMenu", {Arg(kMenu)});
    const bool noGroup =
        fault && !fault->failing() && fault->operation() == "ICommandManager.CreateCommandGroup2";
    EXPECT_TRUE(built == S_OK || built == E_FAIL || (fault && built == fault->code()) ||
                (noGroup && built == E_INVALIDARG))
        << std::hex << built;
    EXPECT_EQ(-1, LongProperty(session.harbolt(), u"errNumber"));
    EXPECT_EQ(kMenuNodeMissing, TextProperty(session.harbolt(), u"errDescription"));

    // Each command that made it into the host: a click sends exactly its
    // element with the right document, or nothing with the host's failure.
    ComPtr<CallerStandIn> source = session.EventSource();
    const std::pair<const char16_t*, const char16_t*> commands[] = {
        {u"Export", u"3"}, {u"Check", u"4"}, {u"Inner", u"5"}, {u"Import", u"6"}};
    for (const auto& [caption, id] : commands) {
      SCOPED_TRACE(Utf8(caption));
      const size_t before = source->clicks().size();
      const HRESULT clicked = session.host.ClickNamed(kCookie, caption);
      if (clicked == E_FAIL && source->clicks().size() == before) continue;  // not built
      if (source->clicks().size() == before) {
        // Nothing sent: the host had no document for it, or failed.
        EXPECT_TRUE(clicked == S_OK || (fault && clicked == fault->code())) << std::hex << clicked;
        continue;
      }
      EXPECT_EQ(before + 1, source->clicks().size());
      const CallerStandIn::Click& click = source->clicks().back();
      EXPECT_EQ(u"cax", click.caxHandle);
      EXPECT_EQ(shaft, click.documentPath) << "a click with a path the host did not give";
      EXPECT_EQ(u"<mnu id=\"" + std::u16string(id) + u"\" caption=\"" + caption + u"\"/>",
                click.menuItem);
      EXPECT_EQ(S_OK, clicked);
    }
  };
  SweepOperation("CreateMenu and a click on every command", {Sample("Shaft.SLDPRT")}, act, setUp);
}

TEST_F(AddinSweepTest, FileOperations) {
  testing_support::TempDir folders;
  for (const char* folder : {"a", "b"}) std::filesystem::copy(HARBOLT_SAMPLE_DIR, folders / folder);
  const std::filesystem::path sameName = folders / "a" / "Gearbox.SLDASM";
  const std::filesystem::path wanted = folders / "b" / "Gearbox.SLDASM";

  // The closing of documents of the same file name before the open and the
  // activation after it are not reported when they fail.
  SweepOperation(
      "OpenFile of a file whose name is open from another folder", {sameName},
      [&](Session& session, const Fault* fault) {
        BSTR name = SysAllocString(wanted.u16string().c_str());
        const HRESULT hr = CallMember(session.harbolt(), u"OpenFile", {Arg::BstrRef(&name)});
        SysFreeString(name);
        const std::vector<std::filesystem::path> open = session.host.OpenDocuments();
        const bool reported = fault && fault->operation() == "ISldWorks.OpenDoc6";
        if (hr == S_OK) {
          EXPECT_NE(open.end(), std::find(open.begin(), open.end(), wanted))
              << "OpenFile passed without opening the file";
          EXPECT_FALSE(reported);
        } else {
          EXPECT_EQ(kFailed, hr);
          EXPECT_EQ(-1, LongProperty(session.harbolt(), u"errNumber"));
          // The open failed, or a failing step before it left the document
          // of the same name open: the host opens no second one of a name.
          EXPECT_TRUE(fault &&
                      (reported || std::find(open.begin(), open.end(), sameName) != open.end()));
        }
      });

  SweepOperation("SaveFile", {sameName}, [&](Session& session, const Fault* fault) {
    const HRESULT hr = CallMember(session.harbolt(), u"SaveFile", {Arg(u"not used")});
    // No fault passes: not even an empty answer of the save, which says
    // nothing of whether it was done.
    EXPECT_TRUE(fault ? hr != S_OK : hr == S_OK) << std::hex << hr;
    if (hr != S_OK) {
      EXPECT_EQ(kFailed, hr);
      EXPECT_EQ(-1, LongProperty(session.harbolt(), u"errNumber"));
      const std::u16string description = TextProperty(session.harbolt(), u"errDescription");
      EXPECT_EQ(0u, description.find(u"CHarbolt::SaveFile():")) << Utf8(description);
      EXPECT_GT(description.size(), std::u16string_view(u"CHarbolt::SaveFile():").size());
    }
  });

  SweepOperation("GetDependencies", {sameName}, [&](Session& session, const Fault* fault) {
    ScopedVariant list;
    const HRESULT hr =
        CallMember(session.harbolt(), u"GetDependencies", {Arg(u"not used")}, list.Receive());
    if (hr == S_OK) {
      EXPECT_EQ(VT_BSTR, list.Type());
      EXPECT_FALSE(fault && fault->failing()) << "a failing host call passed for a complete list";
      EXPECT_TRUE(fault ||
                  BstrView(list.Get()->bstrVal).find(u"Housing.SLDPRT") != std::u16string::npos);
    } else {
      EXPECT_EQ(kFailed, hr);
      EXPECT_EQ(-1, LongProperty(session.harbolt(), u"errNumber"));
    }
  });
}

}  // namespace
}  // namespace reliability
