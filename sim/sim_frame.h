// The host's main window frame: IFrame.
#pragma once

#include <memory>
#include <string>

#include "sim/sim_object.h"

namespace sim {

class SimFrame final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  explicit SimFrame(std::shared_ptr<HostState> host) : SimDispatchObject(std::move(host)) {}

  // The low 32 bits of the host's window handle: all a late-bound caller
  // gets.
  LONG GetHWnd();

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return u"frame"; }
};

}  // namespace sim
