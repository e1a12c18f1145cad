// A command group (a menu and a toolbar) of the simulated host.
#pragma once

#include <memory>

#include "host/host_commands.h"
#include "sim/sim_object.h"

namespace sim {

class SimCommandGroup final : public SimDispatchObject<IHostCommandGroup> {
 public:
  // The group number index of the cookie's board (CommandBoard::groups).
  SimCommandGroup(std::shared_ptr<HostState> host, LONG cookie, size_t index);

  HRESULT STDMETHODCALLTYPE AddCommandItem(BSTR name, LONG position, BSTR hint, BSTR tooltip,
                                           LONG imageIndex, BSTR callback, BSTR enableMethod,
                                           LONG userId, LONG* index) override;
  HRESULT STDMETHODCALLTYPE AddSeparator(LONG position, LONG* index) override;
  HRESULT STDMETHODCALLTYPE SetHasToolbar(VARIANT_BOOL hasToolbar) override;
  HRESULT STDMETHODCALLTYPE Activate(VARIANT_BOOL* activated) override;
  HRESULT STDMETHODCALLTYPE GetCommandId(LONG index, LONG* commandId) override;
  HRESULT STDMETHODCALLTYPE GetToolbarId(LONG* toolbarId) override;

 private:
  std::u16string Target() const;
  CommandGroupRecord& Group() const { return host_->commandBoards[cookie_].groups[index_]; }
  // Adds the item to the group's records and menu order; its index.
  LONG Insert(CommandItemRecord item);

  LONG cookie_;
  size_t index_;
};

}  // namespace sim
