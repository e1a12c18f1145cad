// The add-in's command groups on the simulated host's command manager.
#include "addin/command_groups.h"

#include <gtest/gtest.h>

#include "sim/sim_host.h"
#include "tests/support/bound_host.h"

namespace {

class CommandGroupsTest : public ::testing::Test {
 protected:
  CommandGroupsTest() {
    application_ = testing_support::BoundApplication(host_);
    application_->GetCommandManager(kCookie, manager_.ReleaseAndGetAddressOf());
  }
  const sim::CommandBoard& board() { return host_.Commands(kCookie); }

  static constexpr LONG kCookie = 11;
  sim::SimHost host_;
  ComPtr<IHostApplication> application_;
  ComPtr<IHostCommandManager> manager_;
  CommandGroups groups_;
};

TEST_F(CommandGroupsTest, RemovesTheDefaultGroupThenTheMenuGroupsFromTheLast) {
  groups_.BuildDefaultGroup(manager_.Get());
  ASSERT_EQ(0, groups_.menuDefinition().parse(u"<mnus caption='Main'/>"));
  groups_.commandMap()[100] = 7;
  groups_.setGroupCount(3);
  host_.ClearCalls();

  groups_.RemoveGroups(manager_.Get());
  std::vector<std::string> calls = host_.CallLines("ICommandManager.RemoveCommandGroup2");
  ASSERT_EQ(4u, calls.size());
  EXPECT_NE(std::string::npos, calls[0].find("(50, false)"));
  EXPECT_NE(std::string::npos, calls[1].find("(3, false)"));
  EXPECT_NE(std::string::npos, calls[2].find("(2, false)"));
  EXPECT_NE(std::string::npos, calls[3].find("(1, false)"));
  EXPECT_TRUE(board().LiveGroupIds().empty());
  EXPECT_FALSE(groups_.menuDefinition().isParsed());
  EXPECT_TRUE(groups_.commandMap().empty());
  EXPECT_EQ(0, groups_.groupCount());

  // Removing again is harmless.
  groups_.RemoveGroups(manager_.Get());
  EXPECT_EQ(5u, host_.CallLines("ICommandManager.RemoveCommandGroup2").size());
}

TEST_F(CommandGroupsTest, DefaultGroupWithAFailingHostIsPartial) {
  // No group: the tabs are still made, with zero ids.
  host_.FailCall("ICommandManager.CreateCommandGroup2");
  groups_.BuildDefaultGroup(manager_.Get());
  EXPECT_TRUE(board().LiveGroupIds().empty());
  ASSERT_EQ(3u, board().tabs.size());
  EXPECT_EQ((std::vector<LONG>{0, 0, 0}), board().tabs[0].boxes[0].commandIds);

  // Without a manager nothing is asked of the host.
  host_.ClearCalls();
  groups_.BuildDefaultGroup(nullptr);
  groups_.RemoveGroups(nullptr);
  EXPECT_TRUE(host_.Calls().empty());
}

}  // namespace
