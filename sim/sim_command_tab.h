// A command tab of the simulated host.
#pragma once

#include <memory>

#include "host/host_commands.h"
#include "sim/sim_object.h"

namespace sim {

class SimCommandTab final : public SimDispatchObject<IHostCommandTab> {
 public:
  // The tab number index of the cookie's board (CommandBoard::tabs).
  SimCommandTab(std::shared_ptr<HostState> host, LONG cookie, size_t index);

  HRESULT STDMETHODCALLTYPE AddCommandTabBox(IHostCommandTabBox** box) override;
  HRESULT STDMETHODCALLTYPE AddSeparator(IHostCommandTabBox* afterBox, LONG commandId,
                                         VARIANT_BOOL* added) override;
  HRESULT STDMETHODCALLTYPE SetActive(VARIANT_BOOL active) override;

 private:
  std::u16string Target() const;
  CommandTabRecord& Tab() const { return host_->commandBoards[cookie_].tabs[index_]; }

  LONG cookie_;
  size_t index_;
};

}  // namespace sim
