// The add-in's own host operations through the module loaded as the host
// loads it (connection, document events, menus and clicks, file operations),
// every host call made to fail in turn: no case crashes, each gives the
// documented result, and once the add-in is released no host object is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/published/published_ids.h"
#include "loader/addin_loader.h"
#include "platform/bstr.h"
#include "platform/module.h"
#include "platform/text.h"
#include "platform/variant.h"
#include "tests/reliability/fault_sweep.h"
#include "tests/support/caller_stand_in.h"
#include "tests/support/dispatch_caller.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

using testing_support::Arg;
using testing_support::CallMember;
using testing_support::LongProperty;
namespace doc_event = published::doc_event;

constexpr LONG kCookie = 7;
constexpr HRESULT kFailed = MakeHresult(0xFFFFFFFF);

std::filesystem::path Sample(const char* name) {
  return std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}

// One session of the host with the add-in: the host with its documents, the
// add-in loaded and connected, then disconnected, released and checked.
class Session {
 public:
  explicit Session(const std::vector<std::filesystem::path>& models) {
    for (const std::filesystem::path& model : models) host_.Open(model);
    application_ = host_.Application();
    objects_ = host_.LiveObjects();
    references_ = host_.References();
  }

  sim::SimHost& host() { return host_; }
  IDispatch* harbolt() const { return harbolt_.Get(); }

  // Loads and connects the add-in; the connection always succeeds, whatever
  // the host-side steps of it got.
  void Connect() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    EXPECT_EQ(S_OK, loader_.Load(application_.Get(), u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}",
                                 kCookie, &connected));
    EXPECT_EQ(VARIANT_TRUE, connected);
    harbolt_ = loader_.Dispatch();
    EXPECT_TRUE(harbolt_);
  }

  // DisconnectFromSW (documented to answer E_NOTIMPL) and the release of
  // every reference on the add-in; then no host object may be left.
  void DisconnectAndRelease() {
    EXPECT_EQ(MakeHresult(0x80004001), loader_.Disconnect());
    harbolt_ = nullptr;
    eventSource_ = nullptr;
    loader_.Release();
    EXPECT_EQ(objects_, host_.LiveObjects()) << "host objects left alive";
    EXPECT_EQ(references_, host_.References()) << "host references left";
  }

  ComPtr<testing_support::CallerStandIn> EventSource() {
    if (!eventSource_) {
      eventSource_ =
          MakeComObject<testing_support::CallerStandIn, testing_support::CallerStandIn>();
      EXPECT_EQ(S_OK, testing_support::Call(harbolt(), u"SetEventSrc",
                                            {Arg::Dispatch(eventSource_.Get())}));
    }
    return eventSource_;
  }

 private:
  sim::SimHost host_;
  ComPtr<IDispatch> application_;
  loader::AddinLoader loader_;
  ComPtr<IDispatch> harbolt_;
  ComPtr<testing_support::CallerStandIn> eventSource_;
  long objects_ = 0;
  long references_ = 0;
};

class AddinSweepTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    registryDir_ = new testing_support::TempDir;
    registry_ = new testing_support::ScopedEnv("HARBOLT_REGISTRY",
                                               (registryDir_->path() / "registry").c_str());
    ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(platform::AnsiToWide(HARBOLT_MODULE_PATH)));
    // Held for the whole suite, so that every session finds the module
    // loaded instead of loading it anew.
    module_ = LoadLibraryW(platform::AnsiToWide(HARBOLT_MODULE_PATH).c_str());
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    delete registry_;
    delete registryDir_;
  }

  AddinSweepTest() : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()) {}

  // Sweeps an operation of the connected add-in: per case a new session
  // with the models open, setUp after the connection, the fault, act (which
  // checks its results), then the disconnection.
  static void SweepOperation(const std::string& name,
                             const std::vector<std::filesystem::path>& models,
                             const std::function<void(Session&, const Fault*)>& act,
                             const std::function<void(Session&)>& setUp = {}) {
    Sweep(name).Run([&](const Fault* fault) {
      Session session(models);
      session.Connect();
      if (setUp) setUp(session);
      session.host().ClearCalls();
      if (fault) fault->Apply(session.host());
      act(session, fault);
      std::vector<sim::HostCall> calls = session.host().Calls();
      session.host().ClearFaults();
      session.DisconnectAndRelease();
      return calls;
    });
  }

  static testing_support::TempDir* registryDir_;
  static testing_support::ScopedEnv* registry_;
  static HMODULE module_;
  testing_support::TempDir dir_;
  testing_support::ScopedEnv drive_;
};

testing_support::TempDir* AddinSweepTest::registryDir_ = nullptr;
testing_support::ScopedEnv* AddinSweepTest::registry_ = nullptr;
HMODULE AddinSweepTest::module_ = nullptr;

TEST_F(AddinSweepTest, ConnectionAndDisconnection) {
  Sweep("connection with an assembly and a drawing open").Run([&](const Fault* fault) {
    Session session({Sample("Gearbox.SLDASM"), Sample("Gearbox.SLDDRW")});
    session.host().ClearCalls();
    if (fault) fault->Apply(session.host());
    session.Connect();
    session.DisconnectAndRelease();
    session.host().ClearFaults();
    return session.host().Calls();
  });
}

TEST_F(AddinSweepTest, DocumentEvents) {
  const std::filesystem::path gearbox = Sample("Gearbox.SLDASM");
  ComPtr<IDispatch> bearing, component, shaft, housing;
  auto setUp = [&](Session& session) {
    bearing = session.host().Document(Sample("Bearing.SLDPRT"));
    component = session.host().Component(gearbox, u"Default", u"BearingSet-1/Bearing-1");
    shaft = session.host().Component(gearbox, u"Default", u"Shaft-1");
    housing = session.host().Component(gearbox, u"Default", u"Housing-1");
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
                session.host().FireDocumentEvent(event.document, event.event, event.args))
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
    EXPECT_EQ(S_OK, testing_support::Call(session.harbolt(), u"SetCaxHandle", {Arg(u"cax")}));
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
    EXPECT_EQ(u"CHarbolt::CreateMenu():menuNode not exists",
              testing_support::TextProperty(session.harbolt(), u"errDescription"));

    // Each command that made it into the host: a click sends exactly its
    // element with the right document, or nothing with the host's failure.
    ComPtr<testing_support::CallerStandIn> source = session.EventSource();
    const std::pair<const char16_t*, const char16_t*> commands[] = {
        {u"Export", u"3"}, {u"Check", u"4"}, {u"Inner", u"5"}, {u"Import", u"6"}};
    for (const auto& [caption, id] : commands) {
      SCOPED_TRACE(platform::Utf16ToUtf8(caption));
      const size_t before = source->clicks().size();
      const HRESULT clicked = session.host().ClickNamed(kCookie, caption);
      if (clicked == E_FAIL && source->clicks().size() == before) continue;  // not built
      if (source->clicks().size() == before) {
        // Nothing sent: the host had no document for it, or failed.
        EXPECT_TRUE(clicked == S_OK || (fault && clicked == fault->code())) << std::hex << clicked;
        continue;
      }
      EXPECT_EQ(before + 1, source->clicks().size());
      const testing_support::CallerStandIn::Click& click = source->clicks().back();
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
  for (const char* folder : {"a", "b"}) {
    std::filesystem::create_directories(folders / folder);
    for (const char* sample : {"Housing.SLDPRT", "Shaft.SLDPRT", "Gearbox.SLDASM",
                               "BearingSet.SLDASM", "Bearing.SLDPRT"}) {
      std::filesystem::copy_file(Sample(sample), folders / folder / sample);
    }
  }
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
        const std::vector<std::filesystem::path> open = session.host().OpenDocuments();
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
      const std::u16string description =
          testing_support::TextProperty(session.harbolt(), u"errDescription");
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
      if (!fault) {
        EXPECT_NE(std::u16string::npos,
                  std::u16string(BstrView(list.Get()->bstrVal)).find(u"Housing.SLDPRT"));
      }
    } else {
      EXPECT_EQ(kFailed, hr);
      EXPECT_EQ(-1, LongProperty(session.harbolt(), u"errNumber"));
    }
  });
}

}  // namespace
}  // namespace reliability
