// The caller's menus: CreateMenu called through IDispatch on the add-in as
// the host loaded it, and read back from the simulated host's command
// manager.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/format.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallMember;
using testing_support::Invoke;
using testing_support::LongProperty;
using testing_support::TextProperty;

constexpr char16_t kMenuNodeMissing[] = u"CHarbolt::CreateMenu():menuNode not exists";
constexpr char16_t kNotParsed[] = u"Document not parsed successfully. \n";

class CreateMenuTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    Connect();
  }

  HRESULT CreateMenu(std::u16string_view definition) {
    return CallMember(harbolt(), u"CreateMenu", {Arg(definition)});
  }
  LONG ErrorNumber() { return LongProperty(harbolt(), u"errNumber"); }
  std::u16string ErrorDescription() { return TextProperty(harbolt(), u"errDescription"); }
  // The live group with that id; fails the test when there is none.
  const sim::CommandGroupRecord& Group(LONG id) {
    const sim::CommandGroupRecord* group = commands().LiveGroup(id);
    EXPECT_NE(nullptr, group) << "no group " << id;
    static const sim::CommandGroupRecord kNone;
    return group ? *group : kNone;
  }
  // The group's entries as its menu shows them: names, "-" for separators.
  static std::vector<std::u16string> MenuOf(const sim::CommandGroupRecord& group) {
    std::vector<std::u16string> names;
    for (size_t index : group.menuOrder) {
      const sim::CommandItemRecord& item = group.items[index];
      names.push_back(item.separator ? u"-" : item.name);
    }
    return names;
  }
  static std::vector<std::u16string> CallbacksOf(const sim::CommandGroupRecord& group) {
    std::vector<std::u16string> names;
    for (const sim::CommandItemRecord& item : group.items) {
      if (!item.separator) names.push_back(item.callback);
    }
    return names;
  }
  std::vector<std::u16string> Titles() {
    std::vector<std::u16string> titles;
    for (LONG id : commands().LiveGroupIds()) titles.push_back(Group(id).title);
    return titles;
  }
};

// A definition of `count` commands in submenus of ten.
std::u16string ManyCommands(int count) {
  std::u16string text = u"<mnus caption='Big'>";
  for (int i = 0; i < count; ++i) {
    if (i % 10 == 0) text += platform::FormatWide(64, u"<mnu id='-2' caption='S%d'>", i / 10);
    text += platform::FormatWide(64, u"<mnu id='%d' caption='C%d'/>", i, i);
    if (i % 10 == 9 || i + 1 == count) text += u"</mnu>";
  }
  return text + u"</mnus>";
}

TEST_F(CreateMenuTest, BuildsTheGroupsOfTheDefinition) {
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

  // The default group made way for groups 1 and 2.
  EXPECT_EQ((std::vector<LONG>{1, 2}), commands().LiveGroupIds());
  const sim::CommandGroupRecord& top = Group(1);
  EXPECT_EQ(u"Main", top.title);
  EXPECT_EQ(u"Main", top.tooltip);
  EXPECT_EQ(u"Main", top.hint);
  EXPECT_EQ(-1, top.position);
  EXPECT_EQ(VARIANT_BOOL{-1}, top.hasToolbar);
  EXPECT_EQ(1, top.activations);
  ASSERT_EQ(5u, top.items.size());

  const sim::CommandItemRecord& logout = top.items[0];
  EXPECT_EQ(u"logout", logout.name);
  EXPECT_EQ(u"logout", logout.hint);
  EXPECT_EQ(u"logout", logout.tooltip);
  EXPECT_EQ(-1, logout.position);
  EXPECT_EQ(0, logout.imageIndex);
  EXPECT_EQ(u"Disconnect", logout.callback);
  EXPECT_EQ(u"ToolbarEnable0", logout.enableMethod);
  EXPECT_EQ(0, logout.userId);

  const sim::CommandItemRecord& exportItem = top.items[1];
  EXPECT_EQ(u"Export", exportItem.name);
  EXPECT_EQ(u"Export", exportItem.hint);
  EXPECT_EQ(u"Export", exportItem.tooltip);
  EXPECT_EQ(0, exportItem.position);
  EXPECT_EQ(-1, exportItem.imageIndex);
  EXPECT_EQ(u"ToolbarCallback100", exportItem.callback);
  EXPECT_EQ(u"ToolbarEnableAll", exportItem.enableMethod);
  EXPECT_EQ(1, exportItem.userId);
  EXPECT_TRUE(top.items[2].separator);
  EXPECT_EQ(1, top.items[2].position);
  EXPECT_EQ(u"Import", top.items[3].name);
  EXPECT_EQ(2, top.items[3].position);
  EXPECT_EQ(2, top.items[3].userId);
  // The submenu took place 3.
  EXPECT_EQ(u"Help", top.items[4].name);
  EXPECT_EQ(4, top.items[4].position);
  EXPECT_EQ(u"ToolbarCallback104", top.items[4].callback);
  EXPECT_EQ(5, top.items[4].userId);
  // The logout command was placed at the end when it was the only entry.
  EXPECT_EQ((std::vector<std::u16string>{u"Export", u"-", u"Import", u"logout", u"Help"}),
            MenuOf(top));

  const sim::CommandGroupRecord& tools = Group(2);
  EXPECT_EQ(u"Main\\Tools", tools.title);
  EXPECT_EQ(u"Tools", tools.tooltip);
  EXPECT_EQ(u"Tools", tools.hint);
  EXPECT_EQ(3, tools.position);
  EXPECT_EQ(VARIANT_BOOL{-1}, tools.hasToolbar);
  EXPECT_EQ(1, tools.activations);
  EXPECT_EQ((std::vector<std::u16string>{u"Check", u"-", u"Repair"}), MenuOf(tools));
  EXPECT_EQ((std::vector<std::u16string>{u"ToolbarCallback102", u"ToolbarCallback103"}),
            CallbacksOf(tools));
  EXPECT_EQ(3, tools.items[0].userId);
  EXPECT_EQ(2, tools.items[2].position);
  EXPECT_EQ(4, tools.items[2].userId);

  // The host reaches the enable methods by name.
  LONG status = 0;
  EXPECT_EQ(S_OK, host_.QueryEnable(kCookie, 1, 1, &status));
  EXPECT_EQ(1, status);
  status = 0;
  EXPECT_EQ(S_OK, host_.QueryEnable(kCookie, 1, 0, &status));
  EXPECT_EQ(1, status);

  // A completed build records this error state; callers read it only after
  // a failure.
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(kMenuNodeMissing, ErrorDescription());
}

TEST_F(CreateMenuTest, SubmenusTakeTheirPathAndTheirPlace) {
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
  EXPECT_EQ((std::vector<LONG>{1, 2, 3, 4, 5, 6, 7}), commands().LiveGroupIds());
  EXPECT_EQ((std::vector<std::u16string>{u"Main", u"Main\\Tools", u"Main\\Tools\\Deep",
                                         u"Main\\View", u"Main\\Back\\Slash",
                                         u"Main\\Back\\Slash\\Inner", u"Main\\After"}),
            Titles());
  // Each submenu group stands at its place in the group around it.
  EXPECT_EQ(0, Group(2).position);
  EXPECT_EQ(0, Group(3).position);
  EXPECT_EQ(1, Group(4).position);
  EXPECT_EQ(2, Group(5).position);
  EXPECT_EQ(0, Group(6).position);
  EXPECT_EQ(3, Group(7).position);
  // Commands are numbered in document order, whatever their nesting.
  EXPECT_EQ((std::vector<std::u16string>{u"ToolbarCallback100"}), CallbacksOf(Group(3)));
  EXPECT_EQ((std::vector<std::u16string>{u"ToolbarCallback101"}), CallbacksOf(Group(2)));
  EXPECT_EQ(1, Group(2).items[0].position);
  EXPECT_EQ(u"ToolbarCallback102", Group(1).items[1].callback);
  EXPECT_EQ(4, Group(1).items[1].position);
  for (LONG id = 1; id <= 7; ++id) EXPECT_EQ(1, Group(id).activations) << id;
}

TEST_F(CreateMenuTest, ANewMenuReplacesTheOldAndLogoutBringsBackTheDefault) {
  ASSERT_EQ(S_OK, CreateMenu(u"<mnus caption='First'><mnu id='-2' caption='Sub'>"
                             u"<mnu id='1' caption='One'/><mnu id='2' caption='Two'/>"
                             u"</mnu></mnus>"));
  host_.ClearCalls();
  ASSERT_EQ(S_OK, CreateMenu(u"<mnus caption='Second'><mnu id='5' caption='Five'/></mnus>"));
  std::vector<std::string> removals = host_.CallLines("ICommandManager.RemoveCommandGroup2");
  ASSERT_EQ(3u, removals.size());
  EXPECT_NE(std::string::npos, removals[0].find("(50, false)"));
  EXPECT_NE(std::string::npos, removals[1].find("(2, false)"));
  EXPECT_NE(std::string::npos, removals[2].find("(1, false)"));
  EXPECT_EQ((std::vector<LONG>{1}), commands().LiveGroupIds());
  EXPECT_EQ(u"Second", Group(1).title);
  // The old commands are gone from the command map.
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback101"));

  // The logout command calls Disconnect: the default group is back, and so
  // are its tabs, one per document type (assembly, drawing, part).
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"logout"));
  EXPECT_EQ((std::vector<LONG>{50}), commands().LiveGroupIds());
  EXPECT_EQ(u"ZIZAzazor", Group(50).title);
  EXPECT_EQ(u"Toolbarcallback0", Group(50).items[0].callback);
  ASSERT_EQ(3u, commands().tabs.size());
  const LONG types[] = {2, 3, 1};
  for (size_t i = 0; i < 3; ++i) {
    const sim::CommandTabRecord& tab = commands().tabs[i];
    EXPECT_EQ(types[i], tab.docType);
    EXPECT_EQ(u"ZIZAzazor", tab.title);
    ASSERT_EQ(2u, tab.boxes.size());
    EXPECT_EQ((std::vector<LONG>{4, 4, 4}), tab.boxes[0].textStyles);
    EXPECT_EQ((std::vector<LONG>{0x22}), tab.boxes[1].textStyles);
    EXPECT_EQ(VARIANT_BOOL{0}, tab.active);
  }
  // Without a menu definition the callbacks do nothing.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback100"));
}

TEST_F(CreateMenuTest, MalformedDefinitionsBuildNothing) {
  struct Case {
    std::u16string text;
    LONG number;
    const char16_t* description;
  };
  std::u16string tooDeep;
  for (int i = 0; i < 300; ++i) tooDeep += u"<mnu id='-2' caption='d'>";
  for (int i = 0; i < 300; ++i) tooDeep += u"</mnu>";
  tooDeep = u"<mnus caption='x'>" + tooDeep + u"</mnus>";
  const Case cases[] = {
      {u"not xml", 1, kNotParsed},
      {u"", 1, kNotParsed},
      {u"<mnus caption='x'><mnu id='1'></mnus>", 1, kNotParsed},
      {tooDeep, 1, kNotParsed},
      {u"<menu caption='x'><mnu id='1' caption='a'/></menu>", -1, kMenuNodeMissing},
      {u"<x><mnus caption='nested'/></x>", -1, kMenuNodeMissing},
      {u"<MNUS caption='x'/>", -1, kMenuNodeMissing},
  };
  for (const Case& c : cases) {
    std::string label = platform::Utf16ToUtf8(c.text.substr(0, 40));
    ASSERT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
    EXPECT_EQ(E_INVALIDARG, CreateMenu(c.text)) << label;
    EXPECT_EQ(c.number, ErrorNumber()) << label;
    EXPECT_EQ(c.description, ErrorDescription()) << label;
    // Even the default group is gone.
    EXPECT_TRUE(commands().LiveGroupIds().empty()) << label;
  }
  // A null text does not parse either.
  EXPECT_EQ(E_INVALIDARG,
            CallMember(harbolt(), u"CreateMenu", {Arg(static_cast<const char16_t*>(nullptr))}));
  EXPECT_EQ(1, ErrorNumber());
  // Nothing parsed: the callbacks do nothing. A definition without its root:
  // no command is known.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback100"));
  EXPECT_EQ(E_INVALIDARG, CreateMenu(u"<other/>"));
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback100"));

  // An empty root is a menu with the logout command only.
  EXPECT_EQ(S_OK, CreateMenu(u"<mnus/>"));
  EXPECT_EQ(u"", Group(1).title);
  ASSERT_EQ(1u, Group(1).items.size());
  EXPECT_EQ(u"logout", Group(1).items[0].name);
}

TEST_F(CreateMenuTest, DeepButWellFormedNestingIsBuilt) {
  std::u16string text = u"<mnus caption='M'>";
  for (int i = 0; i < 200; ++i) text += u"<mnu id='-2' caption='S'>";
  text += u"<mnu id='1' caption='Deepest'/>";
  for (int i = 0; i < 200; ++i) text += u"</mnu>";
  text += u"<mnu id='2' caption='Top'/></mnus>";
  EXPECT_EQ(S_OK, CreateMenu(text));
  ASSERT_EQ(201u, commands().LiveGroupIds().size());
  std::u16string deepest = u"M";
  for (int i = 0; i < 200; ++i) deepest += u"\\S";
  EXPECT_EQ(deepest, Group(201).title);
  EXPECT_EQ((std::vector<std::u16string>{u"ToolbarCallback100"}), CallbacksOf(Group(201)));
  EXPECT_EQ(u"ToolbarCallback101", Group(1).items[1].callback);
  EXPECT_EQ(1, Group(1).items[1].position);
  // All of them go with the next menu.
  EXPECT_EQ(S_OK, CreateMenu(u"<mnus caption='Small'/>"));
  EXPECT_EQ((std::vector<LONG>{1}), commands().LiveGroupIds());
}

TEST_F(CreateMenuTest, AtMostOneHundredCommandsFit) {
  EXPECT_EQ(S_OK, CreateMenu(ManyCommands(100)));
  EXPECT_EQ(11u, commands().LiveGroupIds().size());
  std::vector<std::u16string> callbacks;
  for (LONG id : commands().LiveGroupIds()) {
    for (const std::u16string& name : CallbacksOf(Group(id))) callbacks.push_back(name);
  }
  ASSERT_EQ(101u, callbacks.size());  // logout and the hundred
  EXPECT_EQ(u"Disconnect", callbacks[0]);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(platform::FormatWide(64, u"ToolbarCallback%d", 100 + i), callbacks[i + 1]);
  }
  EXPECT_EQ(u"ToolbarCallback199", Group(11).items.back().callback);

  // One more would need a callback that the add-in does not have: the whole
  // definition is refused.
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

TEST_F(CreateMenuTest, HundredsOfSeparatorsAndSubmenusAreBuilt) {
  std::u16string text = u"<mnus caption='Wide'>";
  for (int i = 0; i < 400; ++i) text += u"<mnu id='-1'/>";
  for (int i = 0; i < 150; ++i) {
    text += platform::FormatWide(64, u"<mnu id='-2' caption='S%d'><mnu id='-1'/></mnu>", i);
  }
  for (int i = 0; i < 50; ++i) text += u"<mnu id='1' caption='C'/>";
  text += u"</mnus>";
  EXPECT_EQ(S_OK, CreateMenu(text));
  EXPECT_EQ(151u, commands().LiveGroupIds().size());
  EXPECT_EQ(1 + 400 + 50u, Group(1).items.size());
  EXPECT_EQ(599, Group(1).items.back().position);
  EXPECT_EQ(u"ToolbarCallback149", Group(1).items.back().callback);
  EXPECT_EQ(u"Wide\\S149", Group(151).title);
  EXPECT_EQ(549, Group(151).position);
  host_.ClearCalls();
  EXPECT_EQ(S_OK, Call(harbolt(), u"Disconnect"));
  EXPECT_EQ(152u, host_.CallLines("ICommandManager.RemoveCommandGroup2").size());
  EXPECT_EQ((std::vector<LONG>{50}), commands().LiveGroupIds());
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

  // With submenus: the status of the last submenu group. A group the host
  // did not make loses its entries, the numbering goes on.
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

  // Without group 1 its status comes back; the submenus are still made.
  host_.FailCall("ICommandManager.CreateCommandGroup2#1", E_FAIL);
  EXPECT_EQ(E_FAIL, CreateMenu(u"<mnus caption='M'><mnu id='1' caption='A'/></mnus>"));
  EXPECT_TRUE(commands().LiveGroupIds().empty());
  host_.ClearFaults();
}

TEST_F(CreateMenuTest, TextsFollowTheUsersLanguage) {
  testing_support::ScopedEnv language("LC_ALL", "zh_CN.UTF-8");
  EXPECT_EQ(S_OK, CreateMenu(u"<mnus caption='主菜单'><mnu id='-2' caption='工具'>"
                             u"<mnu id='1' caption='导出'/></mnu></mnus>"));
  EXPECT_EQ(u"退出", Group(1).items[0].name);
  EXPECT_EQ(u"主菜单\\工具", Group(2).title);
  EXPECT_EQ(u"导出", Group(2).items[0].name);
  EXPECT_EQ(u"CHarbolt::CreateMenu():菜单节点不存在", ErrorDescription());
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

}  // namespace
}  // namespace addin_test
