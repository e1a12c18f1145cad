// The caller's menus built in the host by CreateMenu, and clicks sent on to the caller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/format.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

constexpr char16_t kNotParsed[] = u"Document not parsed successfully. \n";

class CreateMenuTest : public ConnectedTest {
 protected:
  HRESULT CreateMenu(std::u16string_view definition) {
    return CallMember(harbolt(), u"CreateMenu", {Arg(definition)});
  }
  void Menu(std::u16string_view items) {
    ASSERT_EQ(S_OK, CreateMenu(u"<mnus caption='Main'>" + std::u16string(items) + u"</mnus>"));
  }
  HRESULT Click(std::u16string_view caption) { return host_.ClickNamed(kCookie, caption); }
  // Names as the menu shows them, "-" for separators.
  static std::vector<std::u16string> MenuOf(const sim::CommandGroupRecord& group) {
    std::vector<std::u16string> names;
    for (size_t index : group.menuOrder) {
      names.push_back(group.items[index].separator ? u"-" : group.items[index].name);
    }
    return names;
  }
};

std::u16string ManyCommands(int count) {
  std::u16string text = u"<mnus caption='Big'>";
  for (int i = 0; i < count; ++i) text += u"<mnu id='1' caption='C'/>";
  return text + u"</mnus>";
}

TEST_F(CreateMenuTest, BuildsTheGroupsAndSubmenusTakeTheirPathAndPlace) {
  EXPECT_EQ(S_OK, CreateMenu(uR"(<mnus caption="Main">
      <mnu id="3" caption="Export"/>
      <!-- a comment, and an element of another name with its content -->
      <other id="9" caption="Skipped"><mnu id="8" caption="Inside skipped"/></other>
      <mnu id="-1"/>
      <mnu id="4" caption="Import"/>
      <mnu id="-2" caption="Tools">
        <mnu id="5" caption="Check"/>
        <mnu id="-1"/>
        <mnu id="6" caption="Repair"/>
      </mnu>
      <mnu id="7" caption="Help"/>
    </mnus>)"));
  EXPECT_EQ((std::vector<LONG>{1, 2}), commands().LiveGroupIds());
  const sim::CommandGroupRecord& top = Group(1);
  EXPECT_EQ("Main|Main|Main|-1|-1|1", Describe(top));
  ASSERT_EQ(5u, top.items.size());
  EXPECT_EQ("logout|logout|logout|-1|0|Disconnect|ToolbarEnable0|0", Describe(top.items[0]));
  EXPECT_EQ("Export|Export|Export|0|-1|ToolbarCallback100|ToolbarEnableAll|1",
            Describe(top.items[1]));
  EXPECT_EQ("Import|Import|Import|2|-1|ToolbarCallback101|ToolbarEnableAll|2",
            Describe(top.items[3]));
  EXPECT_EQ("Help|Help|Help|4|-1|ToolbarCallback104|ToolbarEnableAll|5", Describe(top.items[4]));
  // The logout command went to the end when it was the only entry; the submenu took place 3.
  EXPECT_EQ((std::vector<std::u16string>{u"Export", u"-", u"Import", u"logout", u"Help"}),
            MenuOf(top));
  const sim::CommandGroupRecord& tools = Group(2);
  EXPECT_EQ("Main\\Tools|Tools|Tools|3|-1|1", Describe(tools));
  EXPECT_EQ((std::vector<std::u16string>{u"Check", u"-", u"Repair"}), MenuOf(tools));
  EXPECT_EQ("Repair|Repair|Repair|2|-1|ToolbarCallback103|ToolbarEnableAll|4",
            Describe(tools.items[2]));
  // A completed build records this error state.
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(kMenuNodeMissing, ErrorDescription());
  EXPECT_EQ(S_OK, CreateMenu(uR"(<mnus caption="Main">
      <mnu id="-2" caption="Tools">
        <mnu id="-2" caption="Deep"><mnu id="1" caption="A"/></mnu>
        <mnu id="2" caption="B"/>
      </mnu>
      <mnu id="-2" caption="View"/>
      <mnu id="-2" caption="Back\Slash"><mnu id="-2" caption="Inner"/></mnu>
      <mnu id="-2" caption="After"/>
      <mnu id="3" caption="C"/>
    </mnus>)"));
  // Each group stands at its place in the group around it, as "id:path@place", then its
  // commands as "callback@place": numbered in document order, whatever their nesting.
  std::u16string layout;
  for (LONG id : commands().LiveGroupIds()) {
    layout += platform::FormatWide(200, u"\n%d:%s@%d", id, Group(id).title, Group(id).position);
    for (const sim::CommandItemRecord& item : Group(id).items) {
      layout += platform::FormatWide(200, u" %s@%d", item.callback, item.position);
    }
  }
  EXPECT_EQ(
      u"\n1:Main@-1 Disconnect@-1 ToolbarCallback102@4\n2:Main\\Tools@0 ToolbarCallback101@1"
      u"\n3:Main\\Tools\\Deep@0 ToolbarCallback100@0\n4:Main\\View@1\n5:Main\\Back\\Slash@2"
      u"\n6:Main\\Back\\Slash\\Inner@0\n7:Main\\After@3",
      layout);
  for (LONG id = 1; id <= 7; ++id) EXPECT_EQ(1, Group(id).activations) << id;
}

TEST_F(CreateMenuTest, ANewMenuReplacesTheOldAndLogoutBringsBackTheDefault) {
  ASSERT_EQ(S_OK, CreateMenu(u"<mnus caption='First'><mnu id='-2' caption='Sub'>"
                             u"<mnu id='1' caption='One'/><mnu id='2' caption='Two'/>"
                             u"</mnu></mnus>"));
  host_.ClearCalls();
  ASSERT_EQ(S_OK, CreateMenu(u"<mnus caption='Second'><mnu id='5' caption='Five'/></mnus>"));
  // The default group first, then the menu groups from the last.
  std::string removed;
  for (const std::string& line : host_.CallLines("ICommandManager.RemoveCommandGroup2")) {
    removed += line.substr(line.find('('));
  }
  EXPECT_EQ("(50, false)(2, false)(1, false)", removed);
  EXPECT_EQ((std::vector<LONG>{1}), commands().LiveGroupIds());
  EXPECT_EQ(u"Second", Group(1).title);
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback101"));
  // The logout command calls Disconnect: the default group is back.
  EXPECT_EQ(S_OK, Click(u"logout"));
  EXPECT_EQ((std::vector<LONG>{50}), commands().LiveGroupIds());
  // Without a menu definition the callbacks do nothing.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback100"));
}

TEST_F(CreateMenuTest, MalformedDefinitionsBuildNothing) {
  struct Case {
    std::u16string text;
    LONG number;
    const char16_t* description;
  };
  const Case cases[] = {
      {u"not xml", 1, kNotParsed},
      {u"", 1, kNotParsed},
      {u"<mnus caption='x'><mnu id='1'></mnus>", 1, kNotParsed},
      {u"<menu caption='x'><mnu id='1' caption='a'/></menu>", -1, kMenuNodeMissing},
      {u"<x><mnus caption='nested'/></x>", -1, kMenuNodeMissing},
      {u"<MNUS caption='x'/>", -1, kMenuNodeMissing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.text.substr(0, 40)));
    ASSERT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
    EXPECT_EQ(E_INVALIDARG, CreateMenu(c.text));
    EXPECT_EQ(c.number, ErrorNumber());
    EXPECT_EQ(c.description, ErrorDescription());
    EXPECT_TRUE(commands().LiveGroupIds().empty());
  }
  EXPECT_EQ(E_INVALIDARG,
            CallMember(harbolt(), u"CreateMenu", {Arg(static_cast<const char16_t*>(nullptr))}));
  EXPECT_EQ(1, ErrorNumber());
  // Nothing parsed: the callbacks do nothing. A definition without its root: no command is known.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback100"));
  EXPECT_EQ(E_INVALIDARG, CreateMenu(u"<other/>"));
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback100"));
  // An empty root is a menu with the logout command only.
  EXPECT_EQ(S_OK, CreateMenu(u"<mnus/>"));
  EXPECT_EQ(u"", Group(1).title);
  ASSERT_EQ(1u, Group(1).items.size());
  EXPECT_EQ(u"logout", Group(1).items[0].name);
}

TEST_F(CreateMenuTest, AtMostOneHundredCommandsFit) {
  EXPECT_EQ(S_OK, CreateMenu(ManyCommands(100)));
  std::vector<std::u16string> callbacks;
  for (LONG id : commands().LiveGroupIds()) {
    for (const sim::CommandItemRecord& item : Group(id).items) callbacks.push_back(item.callback);
  }
  ASSERT_EQ(101u, callbacks.size());  // logout and the hundred, in order
  EXPECT_EQ(u"ToolbarCallback100", callbacks[1]);
  EXPECT_EQ(u"ToolbarCallback199", callbacks[100]);
  // One more would need a callback that the add-in does not have: the whole definition is refused.
  host_.ClearCalls();
  const std::u16string kTooMany =
      u"CHarbolt::CreateMenu():the menu definition holds %d commands; at most 100 fit "
      u"(ToolbarCallback100 to ToolbarCallback199)";
  for (int count : {101, 500}) {
    EXPECT_EQ(E_INVALIDARG, CreateMenu(ManyCommands(count))) << count;
    EXPECT_EQ(-1, ErrorNumber());
    EXPECT_EQ(platform::FormatWide(200, kTooMany, count), ErrorDescription());
    EXPECT_TRUE(commands().LiveGroupIds().empty());
    EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback100"));
  }
  EXPECT_TRUE(host_.CallLines("ICommandManager.CreateCommandGroup2").empty());
  EXPECT_TRUE(host_.CallLines("ICommandGroup.").empty());
}

TEST_F(CreateMenuTest, IdsAreReadAsLeadingNumbersAndOddIdsAreLeftOut) {
  testing_support::TempDir drive;
  std::filesystem::create_directory(drive / "1");
  testing_support::ScopedEnv driveC("HARBOLT_DRIVE_C", drive.path().c_str());
  EXPECT_EQ(S_OK, CreateMenu(uR"(<mnus caption="Main">
      <mnu id="abc" caption="Letters"/>
      <mnu caption="NoId"/>
      <mnu id=" -1 "/>
      <mnu id="+5" caption="Plus"/>
      <mnu id="-3" caption="Odd"><mnu id="1" caption="InsideOdd"/></mnu>
      <mnu id="-2x" caption="Sub"/>
      <mnu id="12abc" caption="Twelve"/>
    </mnus>)"));
  EXPECT_EQ((std::vector<std::u16string>{u"Letters", u"NoId", u"-", u"Plus", u"logout", u"Twelve"}),
            MenuOf(Group(1)));
  EXPECT_EQ(u"Main\\Sub", Group(2).title);
  EXPECT_EQ(u"ToolbarCallback103", Group(1).items.back().callback);
  // The odd entry took no place: the submenu after it stands at 4.
  EXPECT_EQ(4, Group(2).position);
  std::string log = testing_support::ReadFile(drive / "1" / "dov_cax_log.txt");
  EXPECT_NE(std::string::npos,
            log.find(": CHarbolt::CreateMenu(): menu entry \"Odd\" with id -3 left out\n"))
      << log;
}

TEST_F(CreateMenuTest, HostFailuresAreNotExaminedButTheLastStatusComesBack) {
  // Without submenus: the status of the logout command; the rest is built.
  host_.FailCall("ICommandGroup.AddCommandItem2#1", E_ABORT);
  EXPECT_EQ(E_ABORT, CreateMenu(u"<mnus caption='M'><mnu id='1' caption='A'/></mnus>"));
  EXPECT_EQ((std::vector<std::u16string>{u"A"}), MenuOf(Group(1)));
  EXPECT_EQ(1, Group(1).activations);
  host_.ClearFaults();
  // With submenus: the last submenu group's status; a group not made loses its entries.
  host_.FailCall("ICommandManager.CreateCommandGroup2#3", E_OUTOFMEMORY);
  EXPECT_EQ(E_OUTOFMEMORY,
            CreateMenu(u"<mnus caption='M'><mnu id='-2' caption='A'><mnu id='1' caption='a'/></mnu>"
                       u"<mnu id='-2' caption='B'><mnu id='2' caption='b'/></mnu>"
                       u"<mnu id='3' caption='c'/></mnus>"));
  host_.ClearFaults();
  EXPECT_EQ((std::vector<LONG>{1, 2}), commands().LiveGroupIds());
  EXPECT_EQ(u"ToolbarCallback102", Group(1).items[1].callback);
  EXPECT_EQ(2, Group(1).items[1].position);
  EXPECT_EQ(-1, ErrorNumber());
  // The group count covers the group that failed.
  host_.ClearCalls();
  EXPECT_EQ(S_OK, CreateMenu(u"<mnus caption='M'/>"));
  EXPECT_EQ(4u, host_.CallLines("ICommandManager.RemoveCommandGroup2").size());
  // Without group 1 its status comes back.
  host_.FailCall("ICommandManager.CreateCommandGroup2#1", E_FAIL);
  EXPECT_EQ(E_FAIL, CreateMenu(u"<mnus caption='M'><mnu id='1' caption='A'/></mnus>"));
  EXPECT_TRUE(commands().LiveGroupIds().empty());
  host_.ClearFaults();
}

TEST_F(CreateMenuTest, WithoutTheHostNothingIsBuilt) {
  EXPECT_EQ(kNotImplemented, loader_.Disconnect());
  EXPECT_EQ(E_FAIL, CreateMenu(u"<mnus caption='M'><mnu id='1' caption='A'/></mnus>"));
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(kMenuNodeMissing, ErrorDescription());
  // The command is known, but there is no host to ask for a document.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback100"));
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback101"));
}

TEST_F(CreateMenuTest, AClickSendsTheHandleThePathAndTheElement) {
  ComPtr<CallerStandIn> source = NewEventSource();
  ASSERT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(u"cax-42")}));
  Menu(
      u"<mnu id='3' caption='Export' table='Feature'><arg name='db'>x.db</arg></mnu>"
      u"<mnu id='-2' caption='Tools'><mnu id='4' caption='Import'/></mnu>");
  host_.Open(Sample("Shaft.SLDPRT"));
  EXPECT_EQ(S_OK, Click(u"Export"));
  ASSERT_EQ(1u, source->clicks().size());
  EXPECT_EQ(u"cax-42", source->clicks()[0].caxHandle);
  EXPECT_EQ(Wide(Sample("Shaft.SLDPRT")), source->clicks()[0].documentPath);
  EXPECT_EQ(
      u"<mnu id=\"3\" caption=\"Export\" table=\"Feature\">\n"
      u"  <arg name=\"db\">x.db</arg>\n"
      u"</mnu>",
      source->clicks()[0].menuItem);
  // The path is the active document's at the time of the click.
  host_.Open(Sample("Gearbox.SLDASM"));
  long references = host_.References(), sourceReferences = source->references();
  EXPECT_EQ(S_OK, Click(u"Import"));
  ASSERT_EQ(2u, source->clicks().size());
  EXPECT_EQ(Wide(Sample("Gearbox.SLDASM")), source->clicks()[1].documentPath);
  EXPECT_EQ(u"<mnu id=\"4\" caption=\"Import\"/>", source->clicks()[1].menuItem);
  // Called directly by the caller, the callback does the same.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback101"));
  EXPECT_EQ(3u, source->clicks().size());
  // Nothing is kept from a click.
  EXPECT_EQ(references, host_.References());
  EXPECT_EQ(sourceReferences, source->references());
}

TEST_F(CreateMenuTest, TheClickedElementIsFoundByItsNormalisedId) {
  ComPtr<CallerStandIn> source = NewEventSource();
  host_.Open(Sample("Shaft.SLDPRT"));
  struct Case {
    const char16_t* items;
    const char16_t* click;
    HRESULT status;
    const char16_t* sent;  // null: nothing sent
  };
  const Case cases[] = {
      // Blanks around the id do not matter.
      {u"<mnu id=' 7 ' caption='Spaced'/>", u"Spaced", S_OK,
       u"<mnu id=\" 7 \" caption=\"Spaced\"/>"},
      // Leading zeros do: the command's id is 7, and no element reads "7".
      {u"<mnu id='007' caption='Padded'/>", u"Padded", S_FALSE, nullptr},
      // An entry without a number has id 0; it finds only an element whose id reads 0.
      {u"<mnu caption='NoId'/><mnu id='x' caption='Letters'/>", u"NoId", S_FALSE, nullptr},
      {u"<mnu caption='NoId'/><mnu id='x' caption='Letters'/>", u"Letters", S_FALSE, nullptr},
      {u"<mnu caption='NoId'/><mnu id='-2' caption='Sub'><mnu id='0' caption='Zero'/></mnu>",
       u"NoId", S_OK, u"<mnu id=\"0\" caption=\"Zero\"/>"},
      // Ids need not be unique: the first element with the id is sent.
      {u"<mnu id='5' caption='First'/><mnu id='5' caption='Second'/>", u"Second", S_OK,
       u"<mnu id=\"5\" caption=\"First\"/>"},
  };
  std::vector<std::u16string> sent;  // what the source received so far
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.items));
    Menu(c.items);
    EXPECT_EQ(c.status, Click(c.click));
    if (c.sent) sent.push_back(c.sent);
    ASSERT_EQ(sent.size(), source->clicks().size());
    EXPECT_TRUE(!c.sent || sent.back() == source->clicks().back().menuItem);
  }
}

TEST_F(CreateMenuTest, TheStatusOfTheLastCallOfAClickComesBack) {
  Menu(u"<mnu id='1' caption='One'/>");
  ComPtr<CallerStandIn> source = NewEventSource();
  // No open document: the host's answer comes back, nothing is sent.
  EXPECT_EQ(S_OK, Click(u"One"));
  host_.FailCall("ISldWorks.ActiveDoc", E_ABORT);
  host_.Open(Sample("Shaft.SLDPRT"));
  EXPECT_EQ(E_ABORT, Click(u"One"));
  host_.ClearFaults();
  EXPECT_TRUE(source->clicks().empty());
  // Without an event source: the status of the host's path call.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Dispatch(application_.Get())}));
  host_.FailCall("IModelDoc2.GetPathName", E_ACCESSDENIED);
  EXPECT_EQ(E_ACCESSDENIED, Click(u"One"));
  host_.ClearFaults();
  // With one (handed over as IUnknown, as scripts may): the event's status; the
  // caller's failure leaves the error state alone.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetEventSrc", {Arg::Unknown(source.Get())}));
  source->FailWith(E_ABORT);
  EXPECT_EQ(E_ABORT, Click(u"One"));
  EXPECT_EQ(1u, source->clicks().size());
  EXPECT_EQ(-1, ErrorNumber());
}

}  // namespace
}  // namespace addin_test
