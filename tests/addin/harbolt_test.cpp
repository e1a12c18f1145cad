// The add-in object and its host connection, driven as the host and the
// caller drive it.
#include <gtest/gtest.h>

#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallerStandIn;
using testing_support::CallMember;
using testing_support::LongProperty;
using testing_support::TextProperty;

class HarboltTest : public AddinTest {};

TEST_F(HarboltTest, ConnectsRegistersBuildsTheDefaultGroupAndListens) {
  long before = host_.LiveObjects();
  Connect();

  // The host knows the add-in as the target of its commands.
  ComPtr<IDispatch> target = host_.CallbackTarget(kCookie);
  ASSERT_TRUE(target);
  ComPtr<IUnknown> targetIdentity, addinIdentity;
  target.As(&targetIdentity);
  harbolt_.As(&addinIdentity);
  EXPECT_EQ(targetIdentity, addinIdentity);
  target = nullptr;
  targetIdentity = nullptr;
  addinIdentity = nullptr;
  std::vector<std::string> registration = host_.CallLines("ISldWorks.SetAddinCallbackInfo2");
  ASSERT_EQ(1u, registration.size());
  EXPECT_NE(std::string::npos, registration[0].find("object, 7)"));

  // The default group: one login command calling "Toolbarcallback0".
  const sim::CommandGroupRecord* group = commands().LiveGroup(50);
  ASSERT_NE(nullptr, group);
  EXPECT_EQ(u"ZIZAzazor", group->title);
  EXPECT_EQ(u"ZIZAzazor", group->tooltip);
  EXPECT_EQ(u"ZIZAzazor", group->hint);
  EXPECT_EQ(-1, group->position);
  EXPECT_EQ(VARIANT_TRUE, group->hasToolbar);
  EXPECT_EQ(1, group->activations);
  ASSERT_EQ(1u, group->items.size());
  const sim::CommandItemRecord& login = group->items[0];
  EXPECT_EQ(u"login", login.name);
  EXPECT_EQ(u"login", login.hint);
  EXPECT_EQ(u"login", login.tooltip);
  EXPECT_EQ(-1, login.position);
  EXPECT_EQ(-1, login.imageIndex);
  EXPECT_EQ(u"Toolbarcallback0", login.callback);
  EXPECT_EQ(u"ToolbarEnable0", login.enableMethod);
  EXPECT_EQ(0, login.userId);

  // One tab per document type, assembly first, with the two boxes.
  ASSERT_EQ(3u, commands().tabs.size());
  const LONG types[] = {2, 3, 1};
  for (size_t i = 0; i < 3; ++i) {
    const sim::CommandTabRecord& tab = commands().tabs[i];
    EXPECT_EQ(types[i], tab.docType);
    EXPECT_EQ(u"ZIZAzazor", tab.title);
    ASSERT_EQ(2u, tab.boxes.size());
    EXPECT_EQ((std::vector<LONG>{login.commandId, login.commandId, group->toolbarId}),
              tab.boxes[0].commandIds);
    EXPECT_EQ((std::vector<LONG>{4, 4, 4}), tab.boxes[0].textStyles);
    EXPECT_EQ((std::vector<LONG>{group->toolbarId}), tab.boxes[1].commandIds);
    EXPECT_EQ((std::vector<LONG>{0x22}), tab.boxes[1].textStyles);
    // The separator goes before the flyout's box.
    ASSERT_EQ(3u, tab.entries.size());
    EXPECT_TRUE(tab.entries[1].separator);
    EXPECT_EQ(group->toolbarId, tab.entries[1].commandId);
    EXPECT_EQ(1u, tab.entries[2].box);
    EXPECT_EQ(VARIANT_BOOL{0}, tab.active);
  }

  // The host reaches the enable method by name.
  LONG status = 0;
  EXPECT_EQ(S_OK, host_.QueryEnable(kCookie, 50, 0, &status));
  EXPECT_EQ(1, status);
  EXPECT_EQ(1u, host_.ApplicationSinkCount());

  // Disconnection: groups removed first, then the events, then the host
  // references; the result is E_NOTIMPL although all is done.
  host_.ClearCalls();
  VARIANT_BOOL disconnected = VARIANT_FALSE;
  EXPECT_EQ(kNotImplemented, loader_.Disconnect(&disconnected));
  EXPECT_EQ(VARIANT_TRUE, disconnected);
  std::vector<std::string> calls = host_.CallLines();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(0u, calls[0].find("ICommandManager.RemoveCommandGroup2"));
  EXPECT_NE(std::string::npos, calls[0].find("(50, false)"));
  EXPECT_EQ(nullptr, commands().LiveGroup(50));
  EXPECT_EQ(0u, host_.ApplicationSinkCount());

  // Once the host has forgotten it, nothing of the add-in lives on and the
  // module may go.
  EXPECT_EQ(S_FALSE, loader_.CanUnloadNow());
  harbolt_ = nullptr;
  loader_.Release();
  EXPECT_EQ(before, host_.LiveObjects());
  EXPECT_EQ(S_OK, loader_.CanUnloadNow());
  EXPECT_TRUE(loader_.FreeModule());
}

TEST_F(HarboltTest, ReleasesEverythingWithDocumentsOpen) {
  ComPtr<IDispatch> gearbox = host_.Open(Sample("Gearbox.SLDASM"));
  ComPtr<IDispatch> drawing = host_.Open(Sample("Gearbox.SLDDRW"));
  long objects = host_.LiveObjects();
  long references = host_.References();
  Connect();
  EXPECT_EQ(1u, SinksOn("Gearbox.SLDASM"));
  EXPECT_EQ(1u, SinksOn("Gearbox.SLDDRW"));

  VARIANT_BOOL disconnected = VARIANT_FALSE;
  EXPECT_EQ(kNotImplemented, DisconnectAndRelease(&disconnected));
  EXPECT_EQ(VARIANT_TRUE, disconnected);
  for (const std::filesystem::path& path : host_.OpenDocuments()) {
    EXPECT_EQ(0u, host_.DocumentSinkCount(path)) << path;
  }
  EXPECT_EQ(objects, host_.LiveObjects());
  EXPECT_EQ(references, host_.References());
  EXPECT_EQ(S_OK, loader_.CanUnloadNow());
}

TEST_F(HarboltTest, DisconnectFromSwWithoutAdvisedEventsStillReleases) {
  host_.FailCall("IConnectionPoint.Advise");
  long objects = host_.LiveObjects();
  Connect();
  EXPECT_EQ(0u, host_.ApplicationSinkCount());
  VARIANT_BOOL disconnected = VARIANT_TRUE;
  EXPECT_EQ(kNotImplemented, DisconnectAndRelease(&disconnected));
  // Nothing was advised, so nothing could be unadvised.
  EXPECT_EQ(VARIANT_FALSE, disconnected);
  EXPECT_EQ(objects, host_.LiveObjects());
  EXPECT_EQ(S_OK, loader_.CanUnloadNow());
}

TEST_F(HarboltTest, SmallMembersKeepTheirState) {
  Connect();
  EXPECT_EQ(0, LongProperty(harbolt(), u"errNumber"));
  EXPECT_EQ(u"", TextProperty(harbolt(), u"errDescription"));
  // ConnIsValid reads 0 even while connected.
  EXPECT_EQ(0, LongProperty(harbolt(), u"ConnIsValid"));

  EXPECT_EQ(S_OK, Call(harbolt(), u"SetWorkDir", {Arg(u"/work/dir")}));
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetParamValue", {Arg(u"name"), Arg(u"value")}));
  ScopedVariant value;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetParamValue", {Arg(u"name")}, value.Receive()));
  EXPECT_EQ(VT_BSTR, value.Type());
  EXPECT_EQ(nullptr, value.Get()->bstrVal);
  BSTR out = nullptr;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetParamValue", {Arg(u"name"), Arg::BstrRef(&out)}));
  EXPECT_EQ(nullptr, out);

  // None of them touched the error state.
  EXPECT_EQ(0, LongProperty(harbolt(), u"errNumber"));
}

TEST_F(HarboltTest, SetCallerKeepsOnlyDispatchObjects) {
  Connect();
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

  // Disconnect drops the caller and the dictionary, and comes back to the
  // default group.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaller", {Arg::Dispatch(caller.Get())}));
  EXPECT_EQ(own + 1, caller->references());
  EXPECT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
  EXPECT_EQ(own, caller->references());
  EXPECT_NE(nullptr, commands().LiveGroup(50));
}

TEST_F(HarboltTest, DisconnectTwiceRebuildsTheDefaultGroupEachTime) {
  Connect();
  ComPtr<CallerStandIn> source = NewEventSource();
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(u"cax-1")}));
  host_.ClearCalls();
  EXPECT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
  EXPECT_EQ(S_OK, Call(harbolt(), u"Disconnect"));

  std::vector<std::string> groups = host_.CallLines("ICommandManager.");
  std::vector<std::string> removals, creations;
  for (const std::string& line : groups) {
    if (line.find("RemoveCommandGroup") != std::string::npos) removals.push_back(line);
    if (line.find("CreateCommandGroup") != std::string::npos) creations.push_back(line);
  }
  EXPECT_EQ(2u, removals.size());
  EXPECT_EQ(2u, creations.size());
  // Three groups 50 were made in all; one is shown.
  size_t made = 0;
  for (const sim::CommandGroupRecord& group : commands().groups) made += group.userId == 50;
  EXPECT_EQ(3u, made);
  EXPECT_EQ((std::vector<LONG>{50}), commands().LiveGroupIds());
  // The tabs existed already and are not made again.
  EXPECT_EQ(3u, commands().tabs.size());
  EXPECT_EQ(2u, commands().tabs[0].boxes.size());

  // The event source and the cax handle stay.
  FireFileNew();
  EXPECT_EQ((std::vector<std::u16string>{u"cax-1"}), source->newDocuments());
}

TEST_F(HarboltTest, HostEventsReachTheEventSource) {
  Connect();
  // Without an event source the events are answered S_OK.
  EXPECT_EQ((std::vector<HRESULT>{S_OK}), FireFileNew());

  ComPtr<CallerStandIn> source = NewEventSource();
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(u"handle-7")}));
  // The host raises event 12 for a new document and 22 for an opened file
  // itself.
  host_.NewDocument(dir_ / "New.SLDPRT", sim::kDocTypePart);
  host_.Open(Sample("Shaft.SLDPRT"));
  EXPECT_EQ((std::vector<std::u16string>{u"handle-7"}), source->newDocuments());
  ASSERT_EQ(1u, source->fileOpens().size());
  EXPECT_EQ(u"handle-7", source->fileOpens()[0].caxHandle);
  EXPECT_EQ(platform::Utf8ToUtf16(Sample("Shaft.SLDPRT").string()),
            source->fileOpens()[0].fileName);
  EXPECT_TRUE(source->clicks().empty());

  // The other application events do nothing.
  namespace app_event = published::app_event;
  EXPECT_EQ((std::vector<HRESULT>{S_OK}), host_.FireApplicationEvent(app_event::kDestroyNotify));
  EXPECT_EQ(
      (std::vector<HRESULT>{S_OK}),
      host_.FireApplicationEvent(app_event::kFileCloseNotify, {std::u16string(u"x"), LONG{0}}));

  // A null handle is sent as an empty text; a null event source keeps the
  // one stored.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(static_cast<const char16_t*>(nullptr))}));
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(nullptr)}));
  FireFileNew();
  EXPECT_EQ((std::vector<std::u16string>{u"handle-7", u""}), source->newDocuments());

  // The event source's failure goes back to the host; the error state stays.
  source->FailWith(E_ABORT);
  EXPECT_EQ(
      (std::vector<HRESULT>{E_ABORT}),
      host_.FireApplicationEvent(app_event::kFileOpenPostNotify, {std::u16string(u"/a/b.SLDPRT")}));
  EXPECT_EQ(0, LongProperty(harbolt(), u"errNumber"));
  EXPECT_EQ(u"", TextProperty(harbolt(), u"errDescription"));

  // An object that is no event source replaces the stored one with nothing.
  ComPtr<IDispatch> notASource;
  application_.As(&notASource);
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(notASource.Get())}));
  FireFileNew();
  EXPECT_EQ(2u, source->newDocuments().size());
}

TEST_F(HarboltTest, GetHwndReadsTheMainFrame) {
  // Late-bound, the host hands out the handle's low 32 bits only.
  host_.SetWindowHandle(0x0000'0012'3456'789ALL);
  Connect();
  ScopedVariant handle;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetHWND", {}, handle.Receive()));
  EXPECT_EQ(VT_I8, handle.Type());
  EXPECT_EQ(0x3456'789ALL, handle.Get()->llVal);
  LONGLONG byReference = -1;
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetHWND", {Arg::LongLongRef(&byReference)}));
  EXPECT_EQ(0x3456'789ALL, byReference);

  host_.FailCall("ISldWorks.Frame");
  byReference = -1;
  EXPECT_EQ(E_FAIL, CallMember(harbolt(), u"GetHWND", {Arg::LongLongRef(&byReference)}));
  EXPECT_EQ(0, byReference);
  host_.ClearFaults();
  host_.EmptyCall("ISldWorks.Frame");
  byReference = -1;
  EXPECT_EQ(E_FAIL, CallMember(harbolt(), u"GetHWND", {Arg::LongLongRef(&byReference)}));
  EXPECT_EQ(0, byReference);
}

TEST_F(HarboltTest, GetHwndFailsWithoutAHost) {
  Connect();
  EXPECT_EQ(kNotImplemented, loader_.Disconnect());
  LONGLONG handle = -1;
  EXPECT_EQ(E_FAIL, CallMember(harbolt(), u"GetHWND", {Arg::LongLongRef(&handle)}));
  EXPECT_EQ(0, handle);
}

TEST_F(HarboltTest, EnableMethodsFollowTheActiveDocument) {
  Connect();
  auto status = [&](const char16_t* name) {
    ScopedVariant result;
    EXPECT_EQ(S_OK, Call(harbolt(), name, {}, result.Receive())) << platform::Utf16ToUtf8(name);
    return result.Type() == VT_I4 ? result.Get()->lVal : -99;
  };
  const char16_t* kEnables[] = {u"ToolbarEnablePart", u"ToolbarEnableAsm", u"ToolbarEnableDwg",
                                u"ToolbarEnablePartAsm"};
  auto all = [&] {
    std::vector<LONG> values;
    for (const char16_t* name : kEnables) values.push_back(status(name));
    return values;
  };
  EXPECT_EQ((std::vector<LONG>{0, 0, 0, 0}), all());
  EXPECT_EQ(1, status(u"ToolbarEnableAll"));
  EXPECT_EQ(1, status(u"ToolbarEnable0"));
  host_.Open(Sample("Shaft.SLDPRT"));
  EXPECT_EQ((std::vector<LONG>{1, 0, 0, 1}), all());
  host_.Open(Sample("Gearbox.SLDASM"));
  EXPECT_EQ((std::vector<LONG>{0, 1, 0, 1}), all());
  host_.Open(Sample("Gearbox.SLDDRW"));
  EXPECT_EQ((std::vector<LONG>{0, 0, 1, 0}), all());
}

TEST_F(HarboltTest, LoginCommandIsFoundByItsLowerCaseName) {
  Connect();
  EXPECT_EQ(50, testing_support::DispIdOf(harbolt(), u"Toolbarcallback0"));
  // What it starts is the login command's test; here it is only reached.
  testing_support::ScopedEnv noPath("PATH", dir_.path().c_str());
  EXPECT_EQ(S_OK, host_.Click(kCookie, 50, 0));
}

}  // namespace
}  // namespace addin_test
