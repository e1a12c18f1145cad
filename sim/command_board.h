// What the add-in built through one command manager of the simulated host:
// every command group, item, separator, tab and tab box with every argument
// it passed, so that a test can read back exactly what was made.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace sim {

struct CommandItemRecord {
  bool separator = false;
  std::u16string name;
  std::u16string hint;
  std::u16string tooltip;
  LONG position = 0;
  LONG imageIndex = 0;
  std::u16string callback;
  std::u16string enableMethod;
  LONG userId = 0;
  LONG commandId = 0;   // 0 for a separator
  LONG menuOption = 0;  // where it shows: 1 menu, 2 toolbar, 3 both
};

struct CommandGroupRecord {
  LONG userId = 0;
  std::u16string title;
  std::u16string tooltip;
  std::u16string hint;
  LONG position = 0;
  LONG toolbarId = 0;
  // The last value put into HasToolbar.
  std::optional<VARIANT_BOOL> hasToolbar;
  int activations = 0;
  bool removed = false;
  // In the order of the calls; the item index is the position here.
  std::vector<CommandItemRecord> items;
  // Item indices in the order the menu shows them (positions applied).
  std::vector<size_t> menuOrder;
};

struct TabBoxRecord {
  std::vector<LONG> commandIds;
  std::vector<LONG> textStyles;
};

// One entry of a command tab: a box, or a separator with a command id.
struct TabEntryRecord {
  bool separator = false;
  size_t box = 0;  // index into CommandTabRecord::boxes
  LONG commandId = 0;
};

struct CommandTabRecord {
  LONG docType = 0;
  std::u16string title;
  // In the order they were made; entries gives the order on the tab.
  std::vector<TabBoxRecord> boxes;
  std::vector<TabEntryRecord> entries;
  std::optional<VARIANT_BOOL> active;

  // Places a separator before the button commandId of the box: before the
  // box when the button is its first; else the box is cut before the button,
  // and the buttons from there on go to a new box right after it, behind the
  // separator. The box that starts at the button; nothing (and no change)
  // when the box does not hold the button.
  std::optional<size_t> SeparateBefore(size_t box, LONG commandId);
};

class CommandBoard {
 public:
  // Every group ever created, in creation order (removed ones stay, flagged).
  std::vector<CommandGroupRecord> groups;
  std::vector<CommandTabRecord> tabs;

  // The group with that user id that is not removed; null when none.
  CommandGroupRecord* LiveGroup(LONG userId);
  const CommandGroupRecord* LiveGroup(LONG userId) const;
  // User ids of the groups not removed, in creation order.
  std::vector<LONG> LiveGroupIds() const;
  CommandTabRecord* FindTab(LONG docType, std::u16string_view title);

  LONG NewCommandId() { return nextCommandId_++; }
  LONG NewToolbarId() { return nextToolbarId_++; }

 private:
  LONG nextCommandId_ = 33001;
  LONG nextToolbarId_ = 501;
};

}  // namespace sim
