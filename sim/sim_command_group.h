// A command group (a menu and a toolbar) of the simulated host:
// ICommandGroup. Calls on a removed group fail.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sim/sim_object.h"

namespace sim {

class SimCommandGroup final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  // The group number index of the cookie's board (CommandBoard::groups).
  SimCommandGroup(std::shared_ptr<HostState> host, LONG cookie, size_t index);

  // The item's index in the group.
  LONG AddCommandItem2(std::u16string_view name, LONG position, std::u16string_view hint,
                       std::u16string_view tooltip, LONG imageIndex, std::u16string_view callback,
                       std::u16string_view enableMethod, LONG userId, LONG menuOption);
  LONG AddSpacer2(LONG position, LONG menuOption);
  // True until a value is put.
  bool HasToolbar();
  void put_HasToolbar(bool hasToolbar);
  bool Activate();
  // The command id of the item at that index; -1 for an index that is no
  // command item.
  LONG CommandID(LONG index);
  LONG ToolbarId();

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override;
  // The group's record. Throws MemberFailure for a removed group.
  CommandGroupRecord& Group() const;
  // Adds the item to the group's records and menu order; its index.
  LONG Insert(CommandItemRecord item);

  LONG cookie_;
  size_t index_;
};

}  // namespace sim
