// A command tab of the simulated host: ICommandTab.
#pragma once

#include <memory>
#include <string>

#include "sim/sim_object.h"

namespace sim {

class SimCommandTab final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  // The tab number index of the cookie's board (CommandBoard::tabs).
  SimCommandTab(std::shared_ptr<HostState> host, LONG cookie, size_t index);

  // A new, empty box at the end of the tab.
  ComPtr<IDispatch> AddCommandTabBox();
  // A separator before the button commandId of box, a box of this tab
  // (CommandTabRecord::SeparateBefore): the box that starts at the button;
  // null when box is no box of this tab holding the button.
  ComPtr<IDispatch> AddSeparator(IDispatch* box, LONG commandId);
  // False until a value is put.
  bool Active();
  void put_Active(bool active);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return Tab().title; }
  CommandTabRecord& Tab() const { return host_->commandBoards[cookie_].tabs[index_]; }
  ComPtr<IDispatch> Box(size_t box) const;

  LONG cookie_;
  size_t index_;
};

}  // namespace sim
