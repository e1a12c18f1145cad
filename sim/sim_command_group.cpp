#include "sim/sim_command_group.h"

#include "platform/format.h"
#include "sim/member_failure.h"
#include "sim/published_member.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimCommandGroup::AddCommandItem2>("AddCommandItem2", 1),
    PublishMethod<&SimCommandGroup::AddSpacer2>("AddSpacer2", 2),
    PublishGet<&SimCommandGroup::HasToolbar>("HasToolbar", 3),
    PublishPut<&SimCommandGroup::put_HasToolbar>("HasToolbar", 3),
    PublishMethod<&SimCommandGroup::Activate>("Activate", 4),
    PublishGet<&SimCommandGroup::CommandID>("CommandID", 5),
    PublishGet<&SimCommandGroup::ToolbarId>("ToolbarId", 6),
};

}  // namespace

constinit const PublishedInterface SimCommandGroup::kPublished{"ICommandGroup", kMembers};

SimCommandGroup::SimCommandGroup(std::shared_ptr<HostState> host, LONG cookie, size_t index)
    : SimDispatchObject(std::move(host)), cookie_(cookie), index_(index) {}

std::u16string SimCommandGroup::JournalTarget() const {
  return platform::FormatWide(platform::kUnlimited, u"group %d",
                              host_->commandBoards[cookie_].groups[index_].userId);
}

CommandGroupRecord& SimCommandGroup::Group() const {
  CommandGroupRecord& group = host_->commandBoards[cookie_].groups[index_];
  if (group.removed) throw MemberFailure(E_FAIL, u"the command group was removed");
  return group;
}

LONG SimCommandGroup::Insert(CommandItemRecord item) {
  CommandGroupRecord& group = Group();
  size_t index = group.items.size();
  LONG position = item.position;
  group.items.push_back(std::move(item));
  if (position < 0 || static_cast<size_t>(position) >= group.menuOrder.size()) {
    group.menuOrder.push_back(index);
  } else {
    group.menuOrder.insert(group.menuOrder.begin() + position, index);
  }
  return static_cast<LONG>(index);
}

LONG SimCommandGroup::AddCommandItem2(std::u16string_view name, LONG position,
                                      std::u16string_view hint, std::u16string_view tooltip,
                                      LONG imageIndex, std::u16string_view callback,
                                      std::u16string_view enableMethod, LONG userId,
                                      LONG menuOption) {
  CommandItemRecord item;
  item.name = std::u16string(name);
  item.hint = std::u16string(hint);
  item.tooltip = std::u16string(tooltip);
  item.position = position;
  item.imageIndex = imageIndex;
  item.callback = std::u16string(callback);
  item.enableMethod = std::u16string(enableMethod);
  item.userId = userId;
  item.menuOption = menuOption;
  item.commandId = host_->commandBoards[cookie_].NewCommandId();
  return Insert(std::move(item));
}

LONG SimCommandGroup::AddSpacer2(LONG position, LONG menuOption) {
  CommandItemRecord item;
  item.separator = true;
  item.position = position;
  item.menuOption = menuOption;
  return Insert(std::move(item));
}

bool SimCommandGroup::HasToolbar() {
  return Group().hasToolbar.value_or(VARIANT_TRUE) != VARIANT_FALSE;
}

void SimCommandGroup::put_HasToolbar(bool hasToolbar) {
  Group().hasToolbar = hasToolbar ? VARIANT_TRUE : VARIANT_FALSE;
}

bool SimCommandGroup::Activate() {
  ++Group().activations;
  return true;
}

LONG SimCommandGroup::CommandID(LONG index) {
  const CommandGroupRecord& group = Group();
  if (index < 0 || static_cast<size_t>(index) >= group.items.size() ||
      group.items[static_cast<size_t>(index)].separator) {
    return -1;
  }
  return group.items[static_cast<size_t>(index)].commandId;
}

LONG SimCommandGroup::ToolbarId() { return Group().toolbarId; }

}  // namespace sim
