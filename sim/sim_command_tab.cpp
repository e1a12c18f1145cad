#include "sim/sim_command_tab.h"

#include "sim/out_params.h"
#include "sim/sim_command_tab_box.h"

namespace sim {

SimCommandTab::SimCommandTab(std::shared_ptr<HostState> host, LONG cookie, size_t index)
    : SimDispatchObject(std::move(host)), cookie_(cookie), index_(index) {}

std::u16string SimCommandTab::Target() const { return Tab().title; }

HRESULT SimCommandTab::AddCommandTabBox(IHostCommandTabBox** box) {
  if (!box) return E_POINTER;
  *box = nullptr;
  if (auto fault = Enter("IHostCommandTab.AddCommandTabBox", [this] { return Target(); }))
    return *fault;
  CommandTabRecord& tab = Tab();
  tab.boxes.emplace_back();
  tab.entries.push_back(TabEntryRecord{false, tab.boxes.size() - 1, 0});
  return ReturnObject(MakeComObject<SimCommandTabBox, IHostCommandTabBox>(host_, cookie_, index_,
                                                                          tab.boxes.size() - 1),
                      box);
}

HRESULT SimCommandTab::AddSeparator(IHostCommandTabBox* afterBox, LONG commandId,
                                    VARIANT_BOOL* added) {
  if (added) *added = VARIANT_FALSE;
  if (auto fault = Enter("IHostCommandTab.AddSeparator", [this] { return Target(); }, {commandId}))
    return *fault;
  auto* box = dynamic_cast<SimCommandTabBox*>(afterBox);
  if (!box || box->cookie() != cookie_ || box->tab() != index_) return E_INVALIDARG;
  std::vector<TabEntryRecord>& entries = Tab().entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].separator && entries[i].box == box->box()) {
      entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                     TabEntryRecord{true, 0, commandId});
      if (added) *added = VARIANT_TRUE;
      return S_OK;
    }
  }
  return E_INVALIDARG;
}

HRESULT SimCommandTab::SetActive(VARIANT_BOOL active) {
  if (auto fault = Enter("IHostCommandTab.SetActive", [this] { return Target(); }, {active}))
    return *fault;
  Tab().active = active;
  return S_OK;
}

}  // namespace sim
