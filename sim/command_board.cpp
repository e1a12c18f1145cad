#include "sim/command_board.h"

namespace sim {

CommandGroupRecord* CommandBoard::LiveGroup(LONG userId) {
  for (CommandGroupRecord& group : groups) {
    if (!group.removed && group.userId == userId) return &group;
  }
  return nullptr;
}

const CommandGroupRecord* CommandBoard::LiveGroup(LONG userId) const {
  return const_cast<CommandBoard*>(this)->LiveGroup(userId);
}

std::vector<LONG> CommandBoard::LiveGroupIds() const {
  std::vector<LONG> ids;
  for (const CommandGroupRecord& group : groups) {
    if (!group.removed) ids.push_back(group.userId);
  }
  return ids;
}

CommandTabRecord* CommandBoard::FindTab(LONG docType, std::u16string_view title) {
  for (CommandTabRecord& tab : tabs) {
    if (tab.docType == docType && tab.title == title) return &tab;
  }
  return nullptr;
}

}  // namespace sim
