// A box of buttons on a command tab of the simulated host.
#pragma once

#include <memory>

#include "host/host_commands.h"
#include "sim/sim_object.h"

namespace sim {

class SimCommandTabBox final : public SimDispatchObject<IHostCommandTabBox> {
 public:
  SimCommandTabBox(std::shared_ptr<HostState> host, LONG cookie, size_t tab, size_t box);

  HRESULT STDMETHODCALLTYPE AddCommands(SAFEARRAY* commandIds, SAFEARRAY* textStyles,
                                        VARIANT_BOOL* added) override;

  LONG cookie() const { return cookie_; }
  size_t tab() const { return tab_; }
  size_t box() const { return box_; }

 private:
  LONG cookie_;
  size_t tab_;
  size_t box_;
};

}  // namespace sim
