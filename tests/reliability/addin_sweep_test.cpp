// The add-in's own host operations, every host call made to fail in turn (an
// exception of the host, a member it lacks, an empty answer), through the
// module loaded as the host loads it: the connection and disconnection, the
// document events, the caller's menus and their clicks, and the file
// operations. No case crashes, each gives the documented result, and once
// the add-in is disconnected and released the host counts no object or
// reference left.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/published/published_ids.h"
#include "loader/addin_loader.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/module.h"
#include "platform/text.h"
#include "platform/variant.h"
#include "sim/sim_host.h"
#include "tests/reliability/fault_sweep.h"
#include "tests/support/caller_stand_in.h"
#include "tests/support/dispatch_caller.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallMember;
namespace doc_event = published::doc_event;

constexpr char16_t kAddinClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";
constexpr LONG kCookie = 7;
constexpr HRESULT kNotImplemented = MakeHresult(0x80004001);

std::filesystem::path Sample(const char* name) {
  return std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}

// One session of the host with the add-in: the host with its documents, the
// add-in loaded and connected, then disconnected, released and checked.
class Session {
 public:
  Session() : Session(std::initializer_list<const char*>{}) {}
  explicit Session(std::initializer_list<const char*> models) {
    for (const char* model : models) host_.Open(Sample(model));
    application_ = host_.Application();
    objects_ = host_.LiveObjects();
    references_ = host_.References();
  }

  sim::SimHost& host() { return host_; }
  IDispatch* harbolt() const { return harbolt_.Get(); }

  // Loads and connects the add-in; the connection always succeeds.
  void Connect() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    EXPECT_EQ(S_OK, loader_.Load(application_.Get(), kAddinClsid, kCookie, &connected));
    EXPECT_EQ(VARIANT_TRUE, connected);
    harbolt_ = loader_.Dispatch();
    EXPECT_TRUE(harbolt_);
  }

  // DisconnectFromSW (documented to answer E_NOTIMPL), then the release of
  // every reference on the add-in.
  void DisconnectAndRelease() {
    EXPECT_EQ(kNotImplemented, loader_.Disconnect());
    harbolt_ = nullptr;
    eventSource_ = nullptr;
    loader_.Release();
  }

  // What every session must leave: no host object held by the add-in.
  void ExpectNothingLeft() {
    EXPECT_EQ(objects_, host_.LiveObjects()) << "host objects left alive";
    EXPECT_EQ(references_, host_.References()) << "host references left";
  }

  // Calls made since the last ClearCalls, and the faults cleared.
  std::vector<sim::HostCall> TakeCalls() {
    std::vector<sim::HostCall> calls = host_.Calls();
    host_.ClearFaults();
    host_.ClearCalls();
    return calls;
  }

  ComPtr<testing_support::CallerStandIn> EventSource() {
    if (!eventSource_) {
      eventSource_ =
          MakeComObject<testing_support::CallerStandIn, testing_support::CallerStandIn>();
      EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(eventSource_.Get())}));
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
  Sweep sweep("connection with an assembly and a drawing open");
  sweep.Run([&](const Fault* fault) {
    Session session({"Gearbox.SLDASM", "Gearbox.SLDDRW"});
    session.host().ClearCalls();
    if (fault) fault->Apply(session.host());
    // The host-side steps of the connection are not examined: it succeeds
    // with what it got, and so does the disconnection.
    session.Connect();
    session.DisconnectAndRelease();
    std::vector<sim::HostCall> calls = session.TakeCalls();
    session.ExpectNothingLeft();
    return calls;
  });
}

TEST_F(AddinSweepTest, DocumentEvents) {
  Sweep sweep("document events of an assembly");
  sweep.Run([&](const Fault* fault) {
    Session session({"Gearbox.SLDASM"});
    session.Connect();
    sim::SimHost& host = session.host();
    const std::filesystem::path gearbox = Sample("Gearbox.SLDASM");
    ComPtr<IDispatch> bearing = host.Document(Sample("Bearing.SLDPRT"));
    ComPtr<IDispatch> bearingComponent =
        host.Component(gearbox, u"Default", u"BearingSet-1/Bearing-1");
    ComPtr<IDispatch> shaft = host.Component(gearbox, u"Default", u"Shaft-1");
    ComPtr<IDispatch> housing = host.Component(gearbox, u"Default", u"Housing-1");
    host.ClearCalls();
    if (fault) fault->Apply(host);

    // Documents go away, and come back through the assembly's events: the
    // handlers report nothing to the host, whatever the host did.
    const std::vector<HRESULT> ok{S_OK};
    EXPECT_EQ(ok, host.FireDocumentEvent(Sample("Shaft.SLDPRT"), doc_event::kDestroyNotify));
    EXPECT_EQ(ok, host.FireDocumentEvent(Sample("Bearing.SLDPRT"), doc_event::kDestroyNotify));
    EXPECT_EQ(ok, host.FireDocumentEvent(Sample("Housing.SLDPRT"), doc_event::kDestroyNotify));
    EXPECT_EQ(ok, host.FireDocumentEvent(gearbox, doc_event::kComponentVisualPropertiesChangeNotify,
                                         {shaft}));
    EXPECT_EQ(ok, host.FireDocumentEvent(gearbox, doc_event::kComponentStateChangeNotify,
                                         {bearing, LONG{1}, LONG{3}}));
    EXPECT_EQ(ok,
              host.FireDocumentEvent(
                  gearbox, doc_event::kComponentStateChangeNotify2,
                  {bearingComponent, std::u16string(u"BearingSet-1/Bearing-1"), LONG{1}, LONG{2}}));
    EXPECT_EQ(ok, host.FireDocumentEvent(gearbox, doc_event::kComponentDisplayStateChangeNotify,
                                         {housing}));
    EXPECT_EQ(ok,
              host.FireDocumentEvent(gearbox, doc_event::kFileSaveNotify, {std::u16string(u"/x")}));
    std::vector<sim::HostCall> calls = session.TakeCalls();

    shaft = nullptr;
    housing = nullptr;
    bearing = nullptr;
    bearingComponent = nullptr;
    session.DisconnectAndRelease();
    session.ExpectNothingLeft();
    return calls;
  });
}

// The caller's menu: two commands at the top, a separator, a submenu with a
// command and a submenu in it.
constexpr char16_t kMenu[] =
    u"<mnus caption='Main'><mnu id='3' caption='Export'/><mnu id='-1'/>"
    u"<mnu id='-2' caption='Tools'><mnu id='4' caption='Check'/>"
    u"<mnu id='-2' caption='Deep'><mnu id='5' caption='Inner'/></mnu></mnu>"
    u"<mnu id='6' caption='Import'/></mnus>";

std::u16string Xml(const char16_t* id, const char16_t* caption) {
  return u"<mnu id=\"" + std::u16string(id) + u"\" caption=\"" + caption + u"\"/>";
}

TEST_F(AddinSweepTest, CreateMenuAndClicks) {
  Sweep sweep("CreateMenu and a click on every command");
  const std::u16string shaft = Sample("Shaft.SLDPRT").u16string();
  sweep.Run([&](const Fault* fault) {
    Session session({"Shaft.SLDPRT"});
    session.Connect();
    ComPtr<testing_support::CallerStandIn> source = session.EventSource();
    EXPECT_EQ(S_OK, Call(session.harbolt(), u"SetCaxHandle", {Arg(u"cax")}));
    sim::SimHost& host = session.host();
    host.ClearCalls();
    if (fault) fault->Apply(host);

    // The result is the host's status for the logout command or the last
    // submenu group (a group the host did not make is an invalid argument);
    // the other calls are not examined.
    const HRESULT built = CallMember(session.harbolt(), u"CreateMenu", {Arg(kMenu)});
    const bool noGroup =
        fault && !fault->failing() && fault->operation() == "ICommandManager.CreateCommandGroup2";
    EXPECT_TRUE(built == S_OK || built == E_FAIL || (fault && built == fault->code()) ||
                (noGroup && built == E_INVALIDARG))
        << std::hex << built;
    EXPECT_EQ(-1, testing_support::LongProperty(session.harbolt(), u"errNumber"));
    EXPECT_EQ(u"CHarbolt::CreateMenu():menuNode not exists",
              testing_support::TextProperty(session.harbolt(), u"errDescription"));

    // Each command that made it into the host: a click sends exactly its
    // element with the right document, or nothing with the host's failure.
    const std::pair<const char16_t*, std::u16string> commands[] = {
        {u"Export", Xml(u"3", u"Export")},
        {u"Check", Xml(u"4", u"Check")},
        {u"Inner", Xml(u"5", u"Inner")},
        {u"Import", Xml(u"6", u"Import")}};
    for (const auto& [caption, element] : commands) {
      SCOPED_TRACE(platform::Utf16ToUtf8(caption));
      const size_t before = source->clicks().size();
      const HRESULT clicked = host.ClickNamed(kCookie, caption);
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
      EXPECT_EQ(element, click.menuItem);
      EXPECT_EQ(S_OK, clicked);
    }
    std::vector<sim::HostCall> calls = session.TakeCalls();
    source = nullptr;
    session.DisconnectAndRelease();
    session.ExpectNothingLeft();
    return calls;
  });
}

// The host calls whose failure the file operations do not report: the
// closing of documents of the same file name before an open, and the
// activation after it.
bool IgnoredByOpenFile(const std::string& operation) { return operation != "ISldWorks.OpenDoc6"; }

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

  Sweep open("OpenFile of a file whose name is open from another folder");
  open.Run([&](const Fault* fault) {
    Session session;
    session.host().Open(sameName);
    session.Connect();
    sim::SimHost& host = session.host();
    host.ClearCalls();
    if (fault) fault->Apply(host);
    BSTR name = SysAllocString(wanted.u16string().c_str());
    const HRESULT hr = CallMember(session.harbolt(), u"OpenFile", {Arg::BstrRef(&name)});
    SysFreeString(name);
    std::vector<sim::HostCall> calls = session.TakeCalls();
    const std::vector<std::filesystem::path> documents = host.OpenDocuments();
    const bool opened = std::find(documents.begin(), documents.end(), wanted) != documents.end();
    const bool sameNameLeft =
        std::find(documents.begin(), documents.end(), sameName) != documents.end();
    if (hr == S_OK) {
      EXPECT_TRUE(opened) << "OpenFile passed without opening the file";
      if (fault) {
        EXPECT_TRUE(IgnoredByOpenFile(fault->operation()));
      }
    } else {
      EXPECT_EQ(MakeHresult(0xFFFFFFFF), hr);
      EXPECT_EQ(-1, testing_support::LongProperty(session.harbolt(), u"errNumber"));
      // The open failed, or a failing step before it left the document of
      // the same name open: the host opens no second document of a name.
      EXPECT_TRUE(fault && (!IgnoredByOpenFile(fault->operation()) || sameNameLeft));
    }
    session.DisconnectAndRelease();
    session.ExpectNothingLeft();
    return calls;
  });

  Sweep save("SaveFile");
  save.Run([&](const Fault* fault) {
    Session session;
    session.host().Open(folders / "a" / "Gearbox.SLDASM");
    session.Connect();
    sim::SimHost& host = session.host();
    host.ClearCalls();
    if (fault) fault->Apply(host);
    const HRESULT hr = CallMember(session.harbolt(), u"SaveFile", {Arg(u"not used")});
    std::vector<sim::HostCall> calls = session.TakeCalls();
    if (hr != S_OK) {
      EXPECT_EQ(MakeHresult(0xFFFFFFFF), hr);
      EXPECT_EQ(-1, testing_support::LongProperty(session.harbolt(), u"errNumber"));
      const std::u16string description =
          testing_support::TextProperty(session.harbolt(), u"errDescription");
      EXPECT_EQ(0u, description.find(u"CHarbolt::SaveFile():")) << Utf8(description);
      EXPECT_GT(description.size(), std::u16string_view(u"CHarbolt::SaveFile():").size());
    }
    // No fault passes: not even an empty answer of the save, which says
    // nothing of whether it was done.
    if (fault) {
      EXPECT_NE(S_OK, hr);
    }
    session.DisconnectAndRelease();
    session.ExpectNothingLeft();
    return calls;
  });

  Sweep dependencies("GetDependencies");
  dependencies.Run([&](const Fault* fault) {
    Session session;
    session.host().Open(folders / "a" / "Gearbox.SLDASM");
    session.Connect();
    sim::SimHost& host = session.host();
    host.ClearCalls();
    if (fault) fault->Apply(host);
    ScopedVariant list;
    const HRESULT hr =
        CallMember(session.harbolt(), u"GetDependencies", {Arg(u"not used")}, list.Receive());
    std::vector<sim::HostCall> calls = session.TakeCalls();
    if (hr == S_OK) {
      EXPECT_EQ(VT_BSTR, list.Type());
      if (!fault) {
        EXPECT_NE(std::u16string::npos,
                  std::u16string(BstrView(list.Get()->bstrVal)).find(u"Housing.SLDPRT"));
      }
      if (fault) {
        EXPECT_FALSE(fault->failing()) << "a failing host call passed for a complete list";
      }
    } else {
      EXPECT_EQ(MakeHresult(0xFFFFFFFF), hr);
      EXPECT_EQ(-1, testing_support::LongProperty(session.harbolt(), u"errNumber"));
    }
    session.DisconnectAndRelease();
    session.ExpectNothingLeft();
    return calls;
  });
}

}  // namespace
}  // namespace reliability
