#include "sim/sim_command_manager.h"

#include "host/published/published_ids.h"
#include "platform/format.h"
#include "sim/published_member.h"
#include "sim/sim_command_group.h"
#include "sim/sim_command_tab.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimCommandManager::CreateCommandGroup2>("CreateCommandGroup2", 1),
    PublishMethod<&SimCommandManager::RemoveCommandGroup2>("RemoveCommandGroup2", 2),
    PublishMethod<&SimCommandManager::GetCommandTab>("GetCommandTab", 3),
    PublishMethod<&SimCommandManager::AddCommandTab>("AddCommandTab", 4),
};

}  // namespace

constinit const PublishedInterface SimCommandManager::kPublished{"ICommandManager", kMembers};

SimCommandManager::SimCommandManager(std::shared_ptr<HostState> host, LONG cookie)
    : SimDispatchObject(std::move(host)), cookie_(cookie) {}

std::u16string SimCommandManager::JournalTarget() const {
  return platform::FormatWide(platform::kUnlimited, u"cookie %d", cookie_);
}

// Groups are made anew on every run here: there is no earlier version to
// ignore.
ComPtr<IDispatch> SimCommandManager::CreateCommandGroup2(LONG userId, std::u16string_view title,
                                                         std::u16string_view tooltip,
                                                         std::u16string_view hint, LONG position,
                                                         bool, LONG* errors) {
  CommandBoard& board = Board();
  if (board.LiveGroup(userId)) {
    *errors = published::swCreateCommandGroup_Failed;
    return nullptr;
  }
  CommandGroupRecord record;
  record.userId = userId;
  record.title = std::u16string(title);
  record.tooltip = std::u16string(tooltip);
  record.hint = std::u16string(hint);
  record.position = position;
  record.toolbarId = board.NewToolbarId();
  board.groups.push_back(std::move(record));
  *errors = published::swCreateCommandGroup_Success;
  return MakeComObject<SimCommandGroup, IDispatch>(host_, cookie_, board.groups.size() - 1);
}

// The host keeps no group between runs here, so runtimeOnly changes nothing.
LONG SimCommandManager::RemoveCommandGroup2(LONG userId, bool) {
  CommandGroupRecord* group = Board().LiveGroup(userId);
  if (!group) return published::swRemoveCommandGroup_Failed;
  group->removed = true;
  return published::swRemoveCommandGroup_Success;
}

ComPtr<IDispatch> SimCommandManager::GetCommandTab(LONG docType, std::u16string_view name) {
  CommandBoard& board = Board();
  CommandTabRecord* found = board.FindTab(docType, name);
  if (!found) return nullptr;
  size_t index = static_cast<size_t>(found - board.tabs.data());
  return MakeComObject<SimCommandTab, IDispatch>(host_, cookie_, index);
}

ComPtr<IDispatch> SimCommandManager::AddCommandTab(LONG docType, std::u16string_view name) {
  if (docType < kDocTypePart || docType > kDocTypeDrawing) return nullptr;
  CommandBoard& board = Board();
  CommandTabRecord record;
  record.docType = docType;
  record.title = std::u16string(name);
  board.tabs.push_back(std::move(record));
  return MakeComObject<SimCommandTab, IDispatch>(host_, cookie_, board.tabs.size() - 1);
}

}  // namespace sim
