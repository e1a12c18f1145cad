#include "sim/command_board.h"

#include <algorithm>

namespace sim {

std::optional<size_t> CommandTabRecord::SeparateBefore(size_t box, LONG commandId) {
  std::vector<LONG>& ids = boxes[box].commandIds;
  auto button = std::find(ids.begin(), ids.end(), commandId);
  auto entry = std::find_if(entries.begin(), entries.end(), [box](const TabEntryRecord& e) {
    return !e.separator && e.box == box;
  });
  if (button == ids.end() || entry == entries.end()) return std::nullopt;
  TabEntryRecord separator{true, 0, commandId};
  if (button == ids.begin()) {
    entries.insert(entry, separator);
    return box;
  }
  auto cut = button - ids.begin();
  std::vector<LONG>& styles = boxes[box].textStyles;
  TabBoxRecord rest{std::vector<LONG>(button, ids.end()),
                    std::vector<LONG>(styles.begin() + cut, styles.end())};
  ids.erase(button, ids.end());
  styles.erase(styles.begin() + cut, styles.end());
  boxes.push_back(std::move(rest));
  size_t made = boxes.size() - 1;
  entries.insert(entry + 1, {separator, TabEntryRecord{false, made, 0}});
  return made;
}

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
