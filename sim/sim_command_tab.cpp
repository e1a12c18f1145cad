#include "sim/sim_command_tab.h"

#include "sim/published_member.h"
#include "sim/sim_command_tab_box.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimCommandTab::AddCommandTabBox>("AddCommandTabBox", 1),
    PublishMethod<&SimCommandTab::AddSeparator>("AddSeparator", 2),
    PublishGet<&SimCommandTab::Active>("Active", 3),
    PublishPut<&SimCommandTab::put_Active>("Active", 3),
};

}  // namespace

constinit const PublishedInterface SimCommandTab::kPublished{"ICommandTab", kMembers};

SimCommandTab::SimCommandTab(std::shared_ptr<HostState> host, LONG cookie, size_t index)
    : SimDispatchObject(std::move(host)), cookie_(cookie), index_(index) {}

ComPtr<IDispatch> SimCommandTab::Box(size_t box) const {
  return MakeComObject<SimCommandTabBox, IDispatch>(host_, cookie_, index_, box);
}

ComPtr<IDispatch> SimCommandTab::AddCommandTabBox() {
  CommandTabRecord& tab = Tab();
  tab.boxes.emplace_back();
  tab.entries.push_back(TabEntryRecord{false, tab.boxes.size() - 1, 0});
  return Box(tab.boxes.size() - 1);
}

ComPtr<IDispatch> SimCommandTab::AddSeparator(IDispatch* box, LONG commandId) {
  auto* given = dynamic_cast<SimCommandTabBox*>(box);
  if (!given || given->cookie() != cookie_ || given->tab() != index_) return nullptr;
  std::optional<size_t> starting = Tab().SeparateBefore(given->box(), commandId);
  return starting ? Box(*starting) : nullptr;
}

bool SimCommandTab::Active() { return Tab().active.value_or(VARIANT_FALSE) != VARIANT_FALSE; }

void SimCommandTab::put_Active(bool active) {
  Tab().active = active ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace sim
