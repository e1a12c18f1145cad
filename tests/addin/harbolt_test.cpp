// The add-in's host connection, events and document listeners.
#include "addin/harbolt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

namespace app_event = published::app_event;
namespace doc_event = published::doc_event;
namespace fs = std::filesystem;

class HarboltTest : public AddinTest {};

// The default group's tabs: one per document type, assembly first.
void ExpectDefaultTabs(const sim::CommandBoard& board, LONG loginId, LONG toolbarId) {
  ASSERT_EQ(3u, board.tabs.size());
  const LONG types[] = {2, 3, 1};
  for (size_t i = 0; i < 3; ++i) {
    const sim::CommandTabRecord& tab = board.tabs[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(types[i], tab.docType);
    EXPECT_EQ(u"ZIZAzazor", tab.title);
    ASSERT_EQ(2u, tab.boxes.size());
    EXPECT_EQ((std::vector<LONG>{loginId, loginId, toolbarId}), tab.boxes[0].commandIds);
    EXPECT_EQ((std::vector<LONG>{4, 4, 4}), tab.boxes[0].textStyles);
    EXPECT_EQ((std::vector<LONG>{toolbarId}), tab.boxes[1].commandIds);
    EXPECT_EQ((std::vector<LONG>{0x22}), tab.boxes[1].textStyles);
    // The separator goes before the flyout's box.
    ASSERT_EQ(3u, tab.entries.size());
    EXPECT_TRUE(tab.entries[1].separator);
    EXPECT_EQ(toolbarId, tab.entries[1].commandId);
    EXPECT_EQ(1u, tab.entries[2].box);
    EXPECT_EQ(VARIANT_BOOL{0}, tab.active);
  }
}

TEST_F(HarboltTest, ConnectsBuildsTheDefaultGroupListensAndReleasesEverything) {
  host_.Open(Sample("Gearbox.SLDASM"));
  host_.Open(Sample("Gearbox.SLDDRW"));
  long objects = host_.LiveObjects(), references = host_.References();
  Connect();
  // Every document open at connection gets one sink.
  for (const char* sample : {"Gearbox.SLDASM", "Gearbox.SLDDRW", "Housing.SLDPRT", "Shaft.SLDPRT",
                             "BearingSet.SLDASM", "Bearing.SLDPRT"}) {
    EXPECT_EQ(1u, SinksOn(sample)) << sample;
  }
  // The host knows the add-in as the target of its commands.
  ComPtr<IUnknown> targetIdentity, addinIdentity;
  ASSERT_EQ(S_OK, host_.CallbackTarget(kCookie).As(&targetIdentity));
  harbolt_.As(&addinIdentity);
  EXPECT_EQ(targetIdentity, addinIdentity);
  targetIdentity = addinIdentity = nullptr;
  const sim::CommandGroupRecord& group = Group(50);
  EXPECT_EQ("ZIZAzazor|ZIZAzazor|ZIZAzazor|-1|-1|1", Describe(group));
  ASSERT_EQ(1u, group.items.size());
  EXPECT_EQ("login|login|login|-1|-1|Toolbarcallback0|ToolbarEnable0|0", Describe(group.items[0]));
  ExpectDefaultTabs(commands(), group.items[0].commandId, group.toolbarId);
  LONG status = 0;
  EXPECT_EQ(S_OK, host_.QueryEnable(kCookie, 50, 0, &status));
  EXPECT_EQ(1, status);
  EXPECT_EQ(1u, host_.ApplicationSinkCount());
  // Disconnection removes the groups first; it answers E_NOTIMPL although all is done.
  host_.ClearCalls();
  VARIANT_BOOL disconnected = VARIANT_FALSE;
  EXPECT_EQ(kNotImplemented, loader_.Disconnect(&disconnected));
  EXPECT_EQ(VARIANT_TRUE, disconnected);
  const std::string first = host_.CallLines().at(0);
  EXPECT_EQ(0u, first.find("ICommandManager.RemoveCommandGroup2")) << first;
  EXPECT_NE(std::string::npos, first.find("(50, false)")) << first;
  EXPECT_EQ(nullptr, commands().LiveGroup(50));
  EXPECT_EQ(0u, host_.ApplicationSinkCount());
  for (const fs::path& path : host_.OpenDocuments()) {
    EXPECT_EQ(0u, host_.DocumentSinkCount(path)) << path;
  }
  EXPECT_EQ(S_FALSE, loader_.CanUnloadNow());
  harbolt_ = nullptr;
  loader_.Release();
  EXPECT_EQ(objects, host_.LiveObjects());
  EXPECT_EQ(references, host_.References());
  EXPECT_EQ(S_OK, loader_.CanUnloadNow());
  EXPECT_TRUE(loader_.FreeModule());
}

TEST_F(HarboltTest, WithoutAGroupTheTabsAreStillMadeWithZeroIds) {
  host_.FailCall("ICommandManager.CreateCommandGroup2");
  Connect();
  EXPECT_TRUE(commands().LiveGroupIds().empty());
  ExpectDefaultTabs(commands(), 0, 0);
}

TEST_F(HarboltTest, SmallMembersKeepTheirStateAndSetCallerKeepsOnlyDispatch) {
  Connect();
  EXPECT_EQ(0, LongProperty(harbolt(), u"ConnIsValid"));  // 0 even while connected
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetParamValue", {Arg(u"name"), Arg(u"value")}));
  ScopedVariant value;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetParamValue", {Arg(u"name")}, value.Receive()));
  EXPECT_EQ(VT_BSTR, value.Type());
  EXPECT_EQ(nullptr, value.Get()->bstrVal);
  BSTR out = nullptr;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetParamValue", {Arg(u"name"), Arg::BstrRef(&out)}));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(0, ErrorNumber());
  ComPtr<CallerStandIn> caller = MakeComObject<CallerStandIn, CallerStandIn>();
  ComPtr<testing_support::PlainObject> plain =
      MakeComObject<testing_support::PlainObject, testing_support::PlainObject>();
  long own = caller->references();
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaller", {Arg::Unknown(caller.Get())}));
  EXPECT_EQ(own + 1, caller->references());
  // An object without IDispatch: refused, and the previous caller is gone.
  EXPECT_EQ(E_INVALIDARG, CallMember(harbolt(), u"SetCaller", {Arg::Unknown(plain.Get())}));
  EXPECT_EQ(own, caller->references());
  EXPECT_EQ(E_INVALIDARG, CallMember(harbolt(), u"SetCaller", {Arg::Unknown(nullptr)}));
  // Disconnect drops the caller.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaller", {Arg::Dispatch(caller.Get())}));
  EXPECT_EQ(own + 1, caller->references());
  EXPECT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
  EXPECT_EQ(own, caller->references());
}

TEST_F(HarboltTest, HostEventsReachTheEventSource) {
  Connect();
  EXPECT_EQ((std::vector<HRESULT>{S_OK}), FireFileNew());
  ComPtr<CallerStandIn> source = NewEventSource();
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(u"handle-7")}));
  host_.NewDocument(dir_ / "New.SLDPRT", sim::kDocTypePart);
  host_.Open(Sample("Shaft.SLDPRT"));
  EXPECT_EQ((std::vector<std::u16string>{u"handle-7"}), source->newDocuments());
  ASSERT_EQ(1u, source->fileOpens().size());
  EXPECT_EQ(u"handle-7", source->fileOpens()[0].caxHandle);
  EXPECT_EQ(Wide(Sample("Shaft.SLDPRT")), source->fileOpens()[0].fileName);
  EXPECT_TRUE(source->clicks().empty());
  // A file the host opens later gets no document sink from these events.
  EXPECT_EQ(0u, SinksOn("Shaft.SLDPRT"));
  // A null handle is sent as an empty text; a null event source keeps the one stored.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(static_cast<const char16_t*>(nullptr))}));
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(nullptr)}));
  FireFileNew();
  EXPECT_EQ((std::vector<std::u16string>{u"handle-7", u""}), source->newDocuments());
  // The event source's failure goes back to the host; the error state stays.
  source->FailWith(E_ABORT);
  EXPECT_EQ(
      (std::vector<HRESULT>{E_ABORT}),
      host_.FireApplicationEvent(app_event::kFileOpenPostNotify, {std::u16string(u"/a/b.SLDPRT")}));
  EXPECT_EQ(0, ErrorNumber());
  EXPECT_EQ(u"", ErrorDescription());
  // An object that is no event source replaces the stored one with nothing.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(application_.Get())}));
  FireFileNew();
  EXPECT_EQ(2u, source->newDocuments().size());
  // Disconnect, even twice, makes the default group again and keeps the source and handle.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(source.Get())}));
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(u"cax-1")}));
  EXPECT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
  EXPECT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
  size_t made = 0;
  for (const sim::CommandGroupRecord& group : commands().groups) made += group.userId == 50;
  EXPECT_EQ(3u, made);
  EXPECT_EQ((std::vector<LONG>{50}), commands().LiveGroupIds());
  EXPECT_EQ(3u, commands().tabs.size());
  FireFileNew();
  EXPECT_EQ(u"cax-1", source->newDocuments().back());
}

TEST_F(HarboltTest, GetHwndReadsTheMainFrame) {
  // Late-bound, the host hands out the low 32 bits only.
  host_.SetWindowHandle(0x0000'0012'3456'789ALL);
  Connect();
  ScopedVariant handle;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetHWND", {}, handle.Receive()));
  EXPECT_EQ(VT_I8, handle.Type());
  EXPECT_EQ(0x3456'789ALL, handle.Get()->llVal);
  LONGLONG byReference = -1;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetHWND", {Arg::LongLongRef(&byReference)}));
  EXPECT_EQ(0x3456'789ALL, byReference);
  auto failing = [&](const char* label) {
    byReference = -1;
    EXPECT_EQ(E_FAIL, CallMember(harbolt(), u"GetHWND", {Arg::LongLongRef(&byReference)})) << label;
    EXPECT_EQ(0, byReference) << label;
    host_.ClearFaults();
  };
  host_.FailCall("ISldWorks.Frame");
  failing("frame fails");
  host_.EmptyCall("ISldWorks.Frame");
  failing("no frame");
  EXPECT_EQ(kNotImplemented, loader_.Disconnect());
  failing("no host");
}

TEST_F(HarboltTest, EnableMethodsFollowTheActiveDocument) {
  Connect();
  auto all = [&] {
    std::vector<LONG> values;
    for (const char16_t* name : {u"ToolbarEnablePart", u"ToolbarEnableAsm", u"ToolbarEnableDwg",
                                 u"ToolbarEnablePartAsm", u"ToolbarEnableAll", u"ToolbarEnable0"}) {
      ScopedVariant result;
      EXPECT_EQ(S_OK, Call(harbolt(), name, {}, result.Receive())) << platform::Utf16ToUtf8(name);
      values.push_back(result.Type() == VT_I4 ? result.Get()->lVal : -99);
    }
    return values;
  };
  EXPECT_EQ((std::vector<LONG>{0, 0, 0, 0, 1, 1}), all());
  host_.Open(Sample("Shaft.SLDPRT"));
  EXPECT_EQ((std::vector<LONG>{1, 0, 0, 1, 1, 1}), all());
  host_.Open(Sample("Gearbox.SLDASM"));
  EXPECT_EQ((std::vector<LONG>{0, 1, 0, 1, 1, 1}), all());
  host_.Open(Sample("Gearbox.SLDDRW"));
  EXPECT_EQ((std::vector<LONG>{0, 0, 1, 0, 1, 1}), all());
}

TEST_F(HarboltTest, AssemblyEventsAttachNewDocumentsOnce) {
  host_.Open(Sample("Gearbox.SLDASM"));
  Connect();
  auto detach = [&](const char* sample) {
    host_.FireDocumentEvent(Sample(sample), doc_event::kDestroyNotify);
    EXPECT_EQ(0u, SinksOn(sample)) << sample;
  };
  auto onGearbox = [&](DISPID dispid, const std::vector<sim::EventArg>& args) {
    std::vector<HRESULT> results = host_.FireDocumentEvent(Sample("Gearbox.SLDASM"), dispid, args);
    return results.size() == 1 ? results[0] : E_UNEXPECTED;
  };
  for (const char* part : {"Shaft.SLDPRT", "Housing.SLDPRT", "Bearing.SLDPRT"}) detach(part);
  EXPECT_EQ(1u, SinksOn("Gearbox.SLDASM"));
  // Event 25 passes a component, which is no document: nothing is attached.
  ComPtr<IDispatch> shaftComponent =
      host_.Component(Sample("Gearbox.SLDASM"), u"Default", u"Shaft-1");
  ASSERT_TRUE(shaftComponent);
  EXPECT_EQ(S_OK, onGearbox(doc_event::kComponentStateChangeNotify2,
                            {shaftComponent, std::u16string(u"Shaft-1"), SHORT{1}, SHORT{2}}));
  EXPECT_EQ(0u, SinksOn("Shaft.SLDPRT"));
  // Event 22 (document, old state, new state): new states 2 and 3 attach, once.
  struct Case {
    const char* sample;
    SHORT from, to;
    size_t sinks;
  };
  for (const Case& c :
       {Case{"Shaft.SLDPRT", 2, 1, 0}, Case{"Shaft.SLDPRT", 1, 2, 1}, Case{"Shaft.SLDPRT", 2, 3, 1},
        Case{"Bearing.SLDPRT", 3, 4, 0}, Case{"Bearing.SLDPRT", 1, 3, 1}}) {
    EXPECT_EQ(S_OK, onGearbox(doc_event::kComponentStateChangeNotify,
                              {host_.Document(Sample(c.sample)), c.from, c.to}));
    EXPECT_EQ(c.sinks, SinksOn(c.sample)) << c.sample << " " << c.from << "->" << c.to;
  }
  // Events 46 and 47 (component): the component's model document.
  ComPtr<IDispatch> housing = host_.Component(Sample("Gearbox.SLDASM"), u"Default", u"Housing-1");
  ASSERT_TRUE(housing);
  EXPECT_EQ(S_OK, onGearbox(doc_event::kComponentVisualPropertiesChangeNotify, {housing}));
  EXPECT_EQ(1u, SinksOn("Housing.SLDPRT"));
  EXPECT_EQ(S_OK, onGearbox(doc_event::kComponentDisplayStateChangeNotify, {housing}));
  EXPECT_EQ(1u, SinksOn("Housing.SLDPRT"));
  detach("Housing.SLDPRT");
  EXPECT_EQ(S_OK, onGearbox(doc_event::kComponentDisplayStateChangeNotify, {housing}));
  EXPECT_EQ(1u, SinksOn("Housing.SLDPRT"));
  EXPECT_EQ(S_OK,
            onGearbox(doc_event::kComponentVisualPropertiesChangeNotify, {ComPtr<IDispatch>()}));
  // The selection and save events do nothing.
  EXPECT_EQ(S_OK, onGearbox(doc_event::kNewSelectionNotify, {}));
  EXPECT_EQ(S_OK, onGearbox(doc_event::kFileSaveNotify, {std::u16string(u"/x")}));
}

// The add-in object's own state, which a caller cannot see through IDispatch.
TEST(HarboltCoreTest, DictionaryAndAConnectionWithoutAHost) {
  ComPtr<CHarbolt> addin = MakeComObject<CHarbolt, CHarbolt>();
  VARIANT_BOOL connected = VARIANT_FALSE, disconnected = VARIANT_TRUE;
  EXPECT_EQ(S_OK, addin->ConnectToSW(nullptr, 9, &connected));
  EXPECT_EQ(VARIANT_TRUE, connected);
  EXPECT_EQ(9, addin->cookie());
  EXPECT_FALSE(addin->applicationSink().advised());
  LONG status = -1;
  EXPECT_EQ(S_OK, addin->ToolbarEnablePartAsm(&status));
  EXPECT_EQ(0, status);
  EXPECT_EQ(E_NOTIMPL, addin->DisconnectFromSW(&disconnected));
  EXPECT_EQ(VARIANT_FALSE, disconnected);
  // A text that does not parse leaves no dictionary; a good one after it parses again.
  ScopedBstr good(u"<dd><table name='Feature'/></dd>"), bad(u"<dd>");
  EXPECT_EQ(S_OK, addin->SetDD(good.Get()));
  EXPECT_EQ(E_INVALIDARG, addin->SetDD(bad.Get()));
  EXPECT_FALSE(addin->dataDictionary().isParsed());
  EXPECT_EQ(S_OK, addin->SetDD(good.Get()));
  EXPECT_TRUE(addin->dataDictionary().isParsed());
  EXPECT_EQ(S_OK, addin->Disconnect());
  EXPECT_FALSE(addin->dataDictionary().isParsed());
}

// The login command starts the caller's client "Pelmora.exe" from the PATH;
// a script of that name writes down its arguments, one a line.
class LoginCommandTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    fs::create_directory(bin_);
    testing_support::WriteFile(bin_ / "Pelmora.exe",
                               "#!/bin/sh\nout=\"$(dirname \"$0\")\"\n"
                               "printf '%s\\n' \"$#\" \"$@\" > \"$out/args.tmp\"\n"
                               "mv \"$out/args.tmp\" \"$out/args.txt\"\n");
    fs::permissions(bin_ / "Pelmora.exe", fs::perms::owner_all);
  }
  // What the program received; empty when it did not run within a while.
  std::string Received() {
    fs::path file = bin_ / "args.txt";
    for (int i = 0; i < 500 && !fs::exists(file); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::string text = testing_support::ReadFile(file);
    fs::remove(file);
    return text;
  }
  fs::path bin_ = dir_ / "bin";
  testing_support::ScopedEnv path_{
      "PATH", (bin_.string() + ":" + (getenv("PATH") ? getenv("PATH") : "")).c_str()};
};

TEST_F(LoginCommandTest, StartsTheClientWithTheWindowHandle) {
  host_.SetWindowHandle(1312);
  Connect();
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  EXPECT_EQ("2\n5\n1312\n", Received());
  long references = host_.References();
  // Only the low 32 bits of the handle count, read as unsigned.
  host_.SetWindowHandle(0x0000'0007'8000'0520LL);
  EXPECT_EQ(S_OK, host_.Click(kCookie, 50, 0));
  EXPECT_EQ("2\n5\n2147484960\n", Received());
  EXPECT_EQ(references, host_.References());  // nothing of the host is kept
  host_.FailCall("ISldWorks.Frame");
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  EXPECT_EQ("2\n5\n0\n", Received());
  // A missing program is not reported.
  fs::remove(bin_ / "Pelmora.exe");
  testing_support::ScopedEnv onlyBin("PATH", bin_.c_str());
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  EXPECT_EQ(0, ErrorNumber());
  EXPECT_FALSE(fs::exists(bin_ / "args.txt"));
}

}  // namespace
}  // namespace addin_test
