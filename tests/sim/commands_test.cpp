// The command manager records every group, item, spacer, tab and box with
// the arguments it was given, tabs split their boxes at separators, and
// clicks reach the registered callback target by method name.
#include <gtest/gtest.h>

#include "host/published/published_ids.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Answer;
using sim_test::Arg;
using sim_test::Bool;
using sim_test::Long;
using sim_test::Object;

constexpr LONG kCookie = 41;

// A list of longs in a VARIANT, as a typed array or one of VARIANTs.
ScopedVariant Longs(const std::vector<LONG>& numbers,
                    AnswerStyle::Lists form = AnswerStyle::Lists::kTyped) {
  ScopedVariant list;
  WriteValue(list.Get(), numbers, AnswerStyle{form});
  return list;
}

// AddCommands with the two lists passed by value, as the binding passes them.
bool AddCommands(IDispatch* box, const ScopedVariant& ids, const ScopedVariant& styles) {
  sim_test::Outcome outcome =
      sim_test::InvokeValues(box, u"AddCommands", DISPATCH_METHOD, {*ids.Get(), *styles.Get()});
  EXPECT_EQ(S_OK, outcome.hr);
  return outcome.answer.Type() == VT_BOOL && outcome.answer.Get()->boolVal != VARIANT_FALSE;
}

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = host_.Application();
    manager_ = Object(app_.Get(), u"GetCommandManager", {Arg(kCookie)});
  }
  ComPtr<IDispatch> Group(LONG id, const char16_t* title, LONG* errors = nullptr) {
    LONG ignored = 0;
    return Object(manager_.Get(), u"CreateCommandGroup2",
                  {Arg(id), Arg(title), Arg(u"tip"), Arg(title), Arg(-1), Arg(-1),
                   Arg::LongRef(errors ? errors : &ignored)});
  }
  LONG Item(IDispatch* group, const char16_t* name, LONG position, const char16_t* callback,
            LONG option = published::swMenuItem) {
    return Long(group, u"AddCommandItem2",
                {Arg(name), Arg(position), Arg(name), Arg(name), Arg(-1), Arg(callback),
                 Arg(u"Enable"), Arg(position + 100), Arg(option)});
  }
  std::vector<std::string> MenuNames(LONG id) {
    std::vector<std::string> names;
    const CommandGroupRecord* group = host_.Commands(kCookie).LiveGroup(id);
    for (size_t index : group->menuOrder) {
      const CommandItemRecord& item = group->items[index];
      names.push_back(item.separator ? "---" : sim_test::Utf8(item.name));
    }
    return names;
  }
  // The tab's entries: "[id id]" for a box, "|id" for a separator.
  std::string Entries(size_t tab) {
    const CommandTabRecord& record = host_.Commands(kCookie).tabs[tab];
    std::string text;
    for (const TabEntryRecord& entry : record.entries) {
      if (entry.separator) {
        text += "|" + std::to_string(entry.commandId) + " ";
        continue;
      }
      text += "[";
      for (LONG id : record.boxes[entry.box].commandIds) text += std::to_string(id) + " ";
      text += "] ";
    }
    return text;
  }

  SimHost host_;
  ComPtr<IDispatch> app_;
  ComPtr<IDispatch> manager_;
};

TEST_F(CommandsTest, GroupsAndItemsAreRecordedWithEveryArgument) {
  LONG errors = -1;
  ComPtr<IDispatch> group = Group(50, u"ZIZAzazor", &errors);
  EXPECT_EQ(published::swCreateCommandGroup_Success, errors);
  EXPECT_EQ(0, Item(group.Get(), u"login", -1, u"Toolbarcallback0", published::swToolbarItem));
  EXPECT_TRUE(Bool(group.Get(), u"HasToolbar"));
  sim_test::Put(group.Get(), u"HasToolbar", {Arg(1)});
  EXPECT_TRUE(Bool(group.Get(), u"Activate"));
  const CommandGroupRecord& record = host_.Commands(kCookie).groups.at(0);
  EXPECT_EQ(u"ZIZAzazor", record.title);
  EXPECT_EQ(u"tip", record.tooltip);
  EXPECT_EQ(-1, record.position);
  EXPECT_EQ(std::optional<VARIANT_BOOL>(VARIANT_TRUE), record.hasToolbar);
  EXPECT_EQ(1, record.activations);
  const CommandItemRecord& item = record.items.at(0);
  EXPECT_EQ(u"login", item.name);
  EXPECT_EQ(-1, item.imageIndex);
  EXPECT_EQ(u"Toolbarcallback0", item.callback);
  EXPECT_EQ(u"Enable", item.enableMethod);
  EXPECT_EQ(99, item.userId);
  EXPECT_EQ(published::swToolbarItem, item.menuOption);
  EXPECT_EQ(item.commandId, Long(group.Get(), u"CommandID", {Arg(0)}));
  EXPECT_EQ(-1, Long(group.Get(), u"CommandID", {Arg(1)}));
  EXPECT_EQ(record.toolbarId, Long(group.Get(), u"ToolbarId"));
  EXPECT_NE(item.commandId, record.toolbarId);
}

TEST_F(CommandsTest, PositionsPlaceItemsAndSpacersInTheMenu) {
  ComPtr<IDispatch> group = Group(1, u"Main");
  Item(group.Get(), u"logout", -1, u"Disconnect");
  Item(group.Get(), u"Open", 1, u"ToolbarCallback100");
  EXPECT_EQ(2, Long(group.Get(), u"AddSpacer2", {Arg(2), Arg(published::swMenuItem)}));
  Item(group.Get(), u"Save", 3, u"ToolbarCallback101");
  Item(group.Get(), u"First", 0, u"ToolbarCallback102");
  EXPECT_EQ((std::vector<std::string>{"First", "logout", "Open", "---", "Save"}), MenuNames(1));
  EXPECT_EQ(-1, Long(group.Get(), u"CommandID", {Arg(2)}));  // the spacer
}

TEST_F(CommandsTest, AGroupIdIsTakenUntilItsGroupIsRemoved) {
  ComPtr<IDispatch> first = Group(50, u"A");
  LONG errors = -1;
  EXPECT_FALSE(Group(50, u"B", &errors));
  EXPECT_EQ(published::swCreateCommandGroup_Failed, errors);
  EXPECT_EQ(published::swRemoveCommandGroup_Success,
            Long(manager_.Get(), u"RemoveCommandGroup2", {Arg(50), Arg(0)}));
  EXPECT_EQ(published::swRemoveCommandGroup_Failed,
            Long(manager_.Get(), u"RemoveCommandGroup2", {Arg(50), Arg(0)}));
  // A removed group fails as the host fails.
  sim_test::Outcome removed =
      sim_test::Invoke(first.Get(), u"AddSpacer2", DISPATCH_METHOD, {Arg(-1), Arg(1)});
  EXPECT_EQ(DISP_E_EXCEPTION, removed.hr);
  EXPECT_EQ(E_FAIL, removed.scode);
  EXPECT_EQ("the command group was removed", removed.description);
  EXPECT_TRUE(Group(50, u"A"));
  const CommandBoard& board = host_.Commands(kCookie);
  ASSERT_EQ(2u, board.groups.size());
  EXPECT_TRUE(board.groups[0].removed);
  EXPECT_EQ((std::vector<LONG>{50}), board.LiveGroupIds());
}

TEST_F(CommandsTest, TabsAreAddedEvenTwiceAndTheFirstIsFound) {
  EXPECT_FALSE(Object(manager_.Get(), u"GetCommandTab", {Arg(2), Arg(u"Tab")}));
  ComPtr<IDispatch> tab = Object(manager_.Get(), u"AddCommandTab", {Arg(2), Arg(u"Tab")});
  ComPtr<IDispatch> twice = Object(manager_.Get(), u"AddCommandTab", {Arg(2), Arg(u"Tab")});
  EXPECT_TRUE(twice);
  EXPECT_FALSE(Object(manager_.Get(), u"AddCommandTab", {Arg(7), Arg(u"Tab")}));
  EXPECT_EQ(2u, host_.Commands(kCookie).tabs.size());
  sim_test::Put(tab.Get(), u"Active", {Arg(-1)});
  EXPECT_FALSE(Bool(twice.Get(), u"Active"));
  EXPECT_TRUE(
      Bool(Object(manager_.Get(), u"GetCommandTab", {Arg(2), Arg(u"Tab")}).Get(), u"Active"));
  EXPECT_EQ(std::optional<VARIANT_BOOL>(VARIANT_TRUE), host_.Commands(kCookie).tabs[0].active);
  EXPECT_FALSE(Object(manager_.Get(), u"GetCommandTab", {Arg(1), Arg(u"Tab")}));
}

TEST_F(CommandsTest, BoxesTakeCommandsAndSeparatorsSplitThem) {
  ComPtr<IDispatch> tab = Object(manager_.Get(), u"AddCommandTab", {Arg(2), Arg(u"Tab")});
  ComPtr<IDispatch> box = Object(tab.Get(), u"AddCommandTabBox");
  EXPECT_TRUE(AddCommands(box.Get(), Longs({11, 12}), Longs({4, 4})));
  EXPECT_TRUE(AddCommands(box.Get(), Longs({13}, AnswerStyle::Lists::kVariants),
                          Longs({0x22}, AnswerStyle::Lists::kVariants)));
  EXPECT_FALSE(AddCommands(box.Get(), Longs({14, 15}), Longs({4})));
  ScopedVariant number(LONG{14});
  EXPECT_FALSE(AddCommands(box.Get(), number, number));
  ComPtr<IDispatch> last = Object(tab.Get(), u"AddCommandTabBox");
  AddCommands(last.Get(), Longs({21}), Longs({4}));
  EXPECT_EQ("[11 12 13 ] [21 ] ", Entries(0));
  EXPECT_EQ((std::vector<LONG>{4, 4, 0x22}), host_.Commands(kCookie).tabs[0].boxes[0].textStyles);
  // Before a box's first button: a separator before the box, which it gives
  // back. Before another button: the box splits there.
  ComPtr<IDispatch> same = Object(tab.Get(), u"AddSeparator", {Arg::Dispatch(box.Get()), Arg(11)});
  ComPtr<IDispatch> split = Object(tab.Get(), u"AddSeparator", {Arg::Dispatch(box.Get()), Arg(13)});
  EXPECT_EQ("|11 [11 12 ] |13 [13 ] [21 ] ", Entries(0));
  AddCommands(split.Get(), Longs({14}), Longs({4}));
  EXPECT_EQ("|11 [11 12 ] |13 [13 14 ] [21 ] ", Entries(0));
  // A button the box does not hold, or a box of another tab: nothing.
  ComPtr<IDispatch> other = Object(manager_.Get(), u"AddCommandTab", {Arg(1), Arg(u"Other")});
  EXPECT_FALSE(Object(tab.Get(), u"AddSeparator", {Arg::Dispatch(box.Get()), Arg(21)}));
  EXPECT_FALSE(Object(other.Get(), u"AddSeparator", {Arg::Dispatch(box.Get()), Arg(12)}));
  EXPECT_FALSE(Object(tab.Get(), u"AddSeparator", {Arg::Dispatch(app_.Get()), Arg(12)}));
  AddCommands(same.Get(), Longs({15}), Longs({4}));
  EXPECT_EQ("|11 [11 12 15 ] |13 [13 14 ] [21 ] ", Entries(0));
}

TEST_F(CommandsTest, AClickCallsTheCallbackByNameOnTheRegisteredTarget) {
  auto target = MakeComObject<sim_test::CallbackTarget, IDispatch>(
      std::vector<std::u16string>{u"ToolbarCallback0", u"Enable", u"Disconnect"});
  auto* recorder = static_cast<sim_test::CallbackTarget*>(target.Get());
  ComPtr<IDispatch> group = Group(50, u"ZIZAzazor");
  Item(group.Get(), u"login", -1, u"Toolbarcallback0");
  Item(group.Get(), u"ghost", -1, u"NoSuchMethod");
  // Not yet shown, and no target yet.
  EXPECT_EQ(E_FAIL, host_.Click(kCookie, 50, 0));
  Answer(group.Get(), u"Activate");
  EXPECT_EQ(E_FAIL, host_.Click(kCookie, 50, 0));
  EXPECT_TRUE(Bool(app_.Get(), u"SetAddinCallbackInfo2",
                   {Arg(0x1234), Arg::Dispatch(target.Get()), Arg(kCookie)}));
  EXPECT_EQ(target.Get(), host_.CallbackTarget(kCookie).Get());
  EXPECT_EQ(S_OK, host_.Click(kCookie, 50, 0));
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  LONG status = 0;
  EXPECT_EQ(S_OK, host_.QueryEnable(kCookie, 50, 0, &status));
  EXPECT_EQ(7, status);
  EXPECT_EQ(DISP_E_UNKNOWNNAME, host_.Click(kCookie, 50, 1));
  EXPECT_EQ(E_FAIL, host_.Click(kCookie, 50, 2));
  EXPECT_EQ(E_FAIL, host_.ClickNamed(kCookie, u"nothing"));
  EXPECT_EQ((std::vector<std::string>{"ToolbarCallback0", "ToolbarCallback0", "Enable"}),
            recorder->calls);
  Answer(app_.Get(), u"SetAddinCallbackInfo2", {Arg(0), Arg::Empty(), Arg(kCookie)});
  EXPECT_FALSE(host_.CallbackTarget(kCookie));
  // Each cookie has its own board.
  Object(app_.Get(), u"GetCommandManager", {Arg(kCookie + 1)});
  EXPECT_TRUE(host_.Commands(kCookie + 1).groups.empty());
}

}  // namespace
}  // namespace sim
