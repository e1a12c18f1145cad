#include "sim/sim_command_tab_box.h"

#include "sim/published_member.h"
#include "sim/variant_values.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimCommandTabBox::AddCommands>("AddCommands", 1),
};

}  // namespace

constinit const PublishedInterface SimCommandTabBox::kPublished{"ICommandTabBox", kMembers};

SimCommandTabBox::SimCommandTabBox(std::shared_ptr<HostState> host, LONG cookie, size_t tab,
                                   size_t box)
    : SimDispatchObject(std::move(host)), cookie_(cookie), tab_(tab), box_(box) {}

std::u16string SimCommandTabBox::JournalTarget() const {
  return host_->commandBoards[cookie_].tabs[tab_].title;
}

bool SimCommandTabBox::AddCommands(const VARIANT& commandIds, const VARIANT& textStyles) {
  std::optional<std::vector<LONG>> ids = ReadLongList(commandIds);
  std::optional<std::vector<LONG>> styles = ReadLongList(textStyles);
  if (!ids || !styles || ids->size() != styles->size()) return false;
  TabBoxRecord& box = host_->commandBoards[cookie_].tabs[tab_].boxes[box_];
  box.commandIds.insert(box.commandIds.end(), ids->begin(), ids->end());
  box.textStyles.insert(box.textStyles.end(), styles->begin(), styles->end());
  return true;
}

}  // namespace sim
