// The command manager records every group, item, separator, tab and box
// with the arguments it was given, and clicks reach the registered callback
// target by method name.
#include <gtest/gtest.h>

#include "sim/safe_arrays.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

constexpr LONG kCookie = 41;

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = host_.Application();
    ASSERT_EQ(S_OK, app_->GetCommandManager(kCookie, manager_.ReleaseAndGetAddressOf()));
  }
  ComPtr<IHostCommandGroup> Group(LONG id, const char16_t* title, LONG position = -1) {
    ScopedBstr text(title);
    ScopedBstr tip(u"tip");
    ComPtr<IHostCommandGroup> group;
    EXPECT_EQ(S_OK, manager_->CreateCommandGroup(id, text.Get(), tip.Get(), text.Get(), position,
                                                 group.ReleaseAndGetAddressOf()));
    return group;
  }
  LONG Item(IHostCommandGroup* group, const char16_t* name, LONG position, const char16_t* callback,
            const char16_t* enable, LONG userId) {
    ScopedBstr n(name);
    ScopedBstr c(callback);
    ScopedBstr e(enable);
    LONG index = -5;
    EXPECT_EQ(S_OK, group->AddCommandItem(n.Get(), position, n.Get(), n.Get(), -1, c.Get(), e.Get(),
                                          userId, &index));
    return index;
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

  SimHost host_;
  ComPtr<IHostApplication> app_;
  ComPtr<IHostCommandManager> manager_;
};

TEST_F(CommandsTest, GroupsAndItemsAreRecordedWithEveryArgument) {
  ComPtr<IHostCommandGroup> group = Group(50, u"ZIZAzazor");
  EXPECT_EQ(0, Item(group.Get(), u"login", -1, u"Toolbarcallback0", u"ToolbarEnable0", 0));
  EXPECT_EQ(S_OK, group->SetHasToolbar(1));
  VARIANT_BOOL activated = VARIANT_FALSE;
  EXPECT_EQ(S_OK, group->Activate(&activated));
  EXPECT_EQ(VARIANT_TRUE, activated);

  const CommandBoard& board = host_.Commands(kCookie);
  ASSERT_EQ(1u, board.groups.size());
  const CommandGroupRecord& record = board.groups[0];
  EXPECT_EQ(50, record.userId);
  EXPECT_EQ(u"ZIZAzazor", record.title);
  EXPECT_EQ(u"tip", record.tooltip);
  EXPECT_EQ(u"ZIZAzazor", record.hint);
  EXPECT_EQ(-1, record.position);
  EXPECT_EQ(std::optional<VARIANT_BOOL>(1), record.hasToolbar);
  EXPECT_EQ(1, record.activations);
  ASSERT_EQ(1u, record.items.size());
  const CommandItemRecord& item = record.items[0];
  EXPECT_EQ(u"login", item.name);
  EXPECT_EQ(-1, item.imageIndex);
  EXPECT_EQ(u"Toolbarcallback0", item.callback);
  EXPECT_EQ(u"ToolbarEnable0", item.enableMethod);
  EXPECT_EQ(0, item.userId);
  LONG commandId = 0;
  EXPECT_EQ(S_OK, group->GetCommandId(0, &commandId));
  EXPECT_EQ(item.commandId, commandId);
  EXPECT_EQ(E_INVALIDARG, group->GetCommandId(1, &commandId));
  LONG toolbarId = 0;
  group->GetToolbarId(&toolbarId);
  EXPECT_EQ(record.toolbarId, toolbarId);
  EXPECT_NE(commandId, toolbarId);
}

TEST_F(CommandsTest, PositionsPlaceItemsAndSeparatorsInTheMenu) {
  ComPtr<IHostCommandGroup> group = Group(1, u"Main");
  Item(group.Get(), u"logout", -1, u"Disconnect", u"ToolbarEnable0", 0);
  Item(group.Get(), u"Open", 1, u"ToolbarCallback100", u"ToolbarEnableAll", 1);
  LONG index = -5;
  EXPECT_EQ(S_OK, group->AddSeparator(2, &index));
  EXPECT_EQ(2, index);
  Item(group.Get(), u"Save", 3, u"ToolbarCallback101", u"ToolbarEnableAll", 2);
  Item(group.Get(), u"First", 0, u"ToolbarCallback102", u"ToolbarEnableAll", 3);
  EXPECT_EQ((std::vector<std::string>{"First", "logout", "Open", "---", "Save"}), MenuNames(1));
  ComPtr<IHostCommandGroup> sub = Group(2, u"Main\\Tools", 2);
  EXPECT_EQ(2, host_.Commands(kCookie).LiveGroup(2)->position);
  EXPECT_EQ((std::vector<LONG>{1, 2}), host_.Commands(kCookie).LiveGroupIds());
}

TEST_F(CommandsTest, RemovingGroupsAndCreatingThemAgain) {
  ComPtr<IHostCommandGroup> first = Group(50, u"A");
  ComPtr<IHostCommandGroup> twice;
  ScopedBstr title(u"B");
  EXPECT_EQ(E_INVALIDARG, manager_->CreateCommandGroup(50, title.Get(), title.Get(), title.Get(),
                                                       -1, twice.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(twice);
  VARIANT_BOOL removed = VARIANT_FALSE;
  EXPECT_EQ(S_OK, manager_->RemoveCommandGroup(50, &removed));
  EXPECT_EQ(VARIANT_TRUE, removed);
  EXPECT_EQ(S_OK, manager_->RemoveCommandGroup(50, &removed));
  EXPECT_EQ(VARIANT_FALSE, removed);
  LONG index = 0;
  EXPECT_EQ(E_FAIL, first->AddSeparator(-1, &index));
  ComPtr<IHostCommandGroup> again = Group(50, u"A");
  const CommandBoard& board = host_.Commands(kCookie);
  ASSERT_EQ(2u, board.groups.size());
  EXPECT_TRUE(board.groups[0].removed);
  EXPECT_FALSE(board.groups[1].removed);
  EXPECT_EQ((std::vector<LONG>{50}), board.LiveGroupIds());
}

TEST_F(CommandsTest, TabsBoxesAndSeparatorsAreRecorded) {
  ScopedBstr title(u"ZIZAzazor");
  ComPtr<IHostCommandTab> tab;
  EXPECT_EQ(S_OK,
            manager_->GetCommandTab(kDocTypeAssembly, title.Get(), tab.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(tab);
  ASSERT_EQ(S_OK,
            manager_->AddCommandTab(kDocTypeAssembly, title.Get(), tab.ReleaseAndGetAddressOf()));
  ComPtr<IHostCommandTab> twice;
  EXPECT_EQ(E_INVALIDARG,
            manager_->AddCommandTab(kDocTypeAssembly, title.Get(), twice.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_INVALIDARG, manager_->AddCommandTab(7, title.Get(), twice.ReleaseAndGetAddressOf()));
  ComPtr<IHostCommandTabBox> box;
  ASSERT_EQ(S_OK, tab->AddCommandTabBox(box.ReleaseAndGetAddressOf()));
  ScopedSafeArray ids(MakeLongArray({33001, 33001, 501}));
  ScopedSafeArray styles(MakeLongArray({4, 4, 4}));
  VARIANT_BOOL added = VARIANT_FALSE;
  EXPECT_EQ(S_OK, box->AddCommands(ids.Get(), styles.Get(), &added));
  EXPECT_EQ(VARIANT_TRUE, added);
  ComPtr<IHostCommandTabBox> second;
  tab->AddCommandTabBox(second.ReleaseAndGetAddressOf());
  ScopedSafeArray toolbar(MakeLongArray({501}));
  ScopedSafeArray flyout(MakeLongArray({kTabButtonFlyoutText}));
  EXPECT_EQ(S_OK, second->AddCommands(toolbar.Get(), flyout.Get(), &added));
  EXPECT_EQ(VARIANT_TRUE, added);
  EXPECT_EQ(S_OK, second->AddCommands(toolbar.Get(), styles.Get(), &added));
  EXPECT_EQ(VARIANT_FALSE, added);  // lengths differ
  EXPECT_EQ(S_OK, tab->AddSeparator(second.Get(), 501, &added));
  EXPECT_EQ(VARIANT_TRUE, added);
  EXPECT_EQ(S_OK, tab->SetActive(VARIANT_FALSE));

  ComPtr<IHostCommandTab> found;
  EXPECT_EQ(S_OK,
            manager_->GetCommandTab(kDocTypeAssembly, title.Get(), found.ReleaseAndGetAddressOf()));
  EXPECT_TRUE(found);
  EXPECT_EQ(S_OK,
            manager_->GetCommandTab(kDocTypePart, title.Get(), found.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(found);

  const CommandTabRecord& record = host_.Commands(kCookie).tabs[0];
  EXPECT_EQ(kDocTypeAssembly, record.docType);
  ASSERT_EQ(2u, record.boxes.size());
  EXPECT_EQ((std::vector<LONG>{33001, 33001, 501}), record.boxes[0].commandIds);
  EXPECT_EQ((std::vector<LONG>{4, 4, 4}), record.boxes[0].textStyles);
  EXPECT_EQ((std::vector<LONG>{0x22}), record.boxes[1].textStyles);
  ASSERT_EQ(3u, record.entries.size());
  EXPECT_FALSE(record.entries[1].separator);
  EXPECT_TRUE(record.entries[2].separator);
  EXPECT_EQ(501, record.entries[2].commandId);
  EXPECT_EQ(std::optional<VARIANT_BOOL>(VARIANT_FALSE), record.active);
}

TEST_F(CommandsTest, AClickCallsTheCallbackByNameOnTheRegisteredTarget) {
  auto target = MakeComObject<sim_test::CallbackTarget, IDispatch>(
      std::vector<std::u16string>{u"ToolbarCallback0", u"EnableLogin", u"Disconnect"});
  auto* recorder = static_cast<sim_test::CallbackTarget*>(target.Get());
  ComPtr<IHostCommandGroup> group = Group(50, u"ZIZAzazor");
  Item(group.Get(), u"login", -1, u"Toolbarcallback0", u"EnableLogin", 0);
  Item(group.Get(), u"ghost", -1, u"NoSuchMethod", u"EnableLogin", 1);
  // Not yet shown, and no target yet.
  EXPECT_EQ(E_FAIL, host_.Click(kCookie, 50, 0));
  group->Activate(nullptr);
  EXPECT_EQ(E_FAIL, host_.Click(kCookie, 50, 0));
  VARIANT_BOOL done = VARIANT_FALSE;
  EXPECT_EQ(S_OK, app_->SetAddinCallbackInfo(0x1234, target.Get(), kCookie, &done));
  EXPECT_EQ(VARIANT_TRUE, done);
  EXPECT_EQ(target.Get(), host_.CallbackTarget(kCookie).Get());

  EXPECT_EQ(S_OK, host_.Click(kCookie, 50, 0));
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  LONG status = 0;
  EXPECT_EQ(S_OK, host_.QueryEnable(kCookie, 50, 0, &status));
  EXPECT_EQ(7, status);
  EXPECT_EQ(DISP_E_UNKNOWNNAME, host_.Click(kCookie, 50, 1));
  EXPECT_EQ(E_FAIL, host_.Click(kCookie, 50, 2));
  EXPECT_EQ(E_FAIL, host_.ClickNamed(kCookie, u"nothing"));
  EXPECT_EQ((std::vector<std::string>{"ToolbarCallback0", "ToolbarCallback0", "EnableLogin"}),
            recorder->calls);
  // Removing the target.
  EXPECT_EQ(S_OK, app_->SetAddinCallbackInfo(0, nullptr, kCookie, &done));
  EXPECT_FALSE(host_.CallbackTarget(kCookie));
}

TEST_F(CommandsTest, EachCookieHasItsOwnBoard) {
  ComPtr<IHostCommandManager> other;
  app_->GetCommandManager(kCookie + 1, other.ReleaseAndGetAddressOf());
  Group(50, u"Mine");
  EXPECT_EQ(1u, host_.Commands(kCookie).groups.size());
  EXPECT_TRUE(host_.Commands(kCookie + 1).groups.empty());
}

}  // namespace
}  // namespace sim
