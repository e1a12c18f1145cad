// A box of buttons on a command tab of the simulated host: ICommandTabBox.
#pragma once

#include <memory>
#include <string>

#include "sim/sim_object.h"

namespace sim {

class SimCommandTabBox final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimCommandTabBox(std::shared_ptr<HostState> host, LONG cookie, size_t tab, size_t box);

  // Adds buttons: lists of command ids and of text display styles (typed
  // lists of longs, or of VARIANTs holding them) of one length. False, and
  // nothing added, otherwise.
  bool AddCommands(const VARIANT& commandIds, const VARIANT& textStyles);

  LONG cookie() const { return cookie_; }
  size_t tab() const { return tab_; }
  size_t box() const { return box_; }

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override;

  LONG cookie_;
  size_t tab_;
  size_t box_;
};

}  // namespace sim
