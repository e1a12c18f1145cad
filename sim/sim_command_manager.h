// The command manager of one add-in cookie: ICommandManager. It writes what
// it is asked to build into the host's CommandBoard of that cookie.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sim/sim_object.h"

namespace sim {

class SimCommandManager final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimCommandManager(std::shared_ptr<HostState> host, LONG cookie);

  // The new group, with errors swCreateCommandGroup_Success; null, with
  // swCreateCommandGroup_Failed, while a group with that id is there.
  ComPtr<IDispatch> CreateCommandGroup2(LONG userId, std::u16string_view title,
                                        std::u16string_view tooltip, std::u16string_view hint,
                                        LONG position, bool ignorePreviousVersion, LONG* errors);
  // 1 removed, 0 when there is no such group.
  LONG RemoveCommandGroup2(LONG userId, bool runtimeOnly);
  // The first tab of that document type and name; null when none.
  ComPtr<IDispatch> GetCommandTab(LONG docType, std::u16string_view name);
  // A new tab, even beside one of that name; null for a document type other
  // than part, assembly and drawing.
  ComPtr<IDispatch> AddCommandTab(LONG docType, std::u16string_view name);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override;
  CommandBoard& Board() const { return host_->commandBoards[cookie_]; }

  LONG cookie_;
};

}  // namespace sim
