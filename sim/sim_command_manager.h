// The command manager of one add-in cookie; it writes what it is asked to
// build into the host's CommandBoard of that cookie.
#pragma once

#include <memory>

#include "host/host_commands.h"
#include "sim/sim_object.h"

namespace sim {

class SimCommandManager final : public SimDispatchObject<IHostCommandManager> {
 public:
  SimCommandManager(std::shared_ptr<HostState> host, LONG cookie);

  HRESULT STDMETHODCALLTYPE CreateCommandGroup(LONG userId, BSTR title, BSTR tooltip, BSTR hint,
                                               LONG position, IHostCommandGroup** group) override;
  HRESULT STDMETHODCALLTYPE RemoveCommandGroup(LONG userId, VARIANT_BOOL* removed) override;
  HRESULT STDMETHODCALLTYPE GetCommandTab(LONG docType, BSTR title, IHostCommandTab** tab) override;
  HRESULT STDMETHODCALLTYPE AddCommandTab(LONG docType, BSTR title, IHostCommandTab** tab) override;

 private:
  std::u16string Target() const;
  CommandBoard& Board() const { return host_->commandBoards[cookie_]; }

  LONG cookie_;
};

}  // namespace sim
