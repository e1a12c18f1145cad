#include "sim/sim_command_tab_box.h"

#include "platform/format.h"
#include "sim/safe_arrays.h"

namespace sim {

SimCommandTabBox::SimCommandTabBox(std::shared_ptr<HostState> host, LONG cookie, size_t tab,
                                   size_t box)
    : SimDispatchObject(std::move(host)), cookie_(cookie), tab_(tab), box_(box) {}

HRESULT SimCommandTabBox::AddCommands(SAFEARRAY* commandIds, SAFEARRAY* textStyles,
                                      VARIANT_BOOL* added) {
  if (added) *added = VARIANT_FALSE;
  std::optional<std::vector<LONG>> ids = ReadLongArray(commandIds);
  std::optional<std::vector<LONG>> styles = ReadLongArray(textStyles);
  std::u16string listed;
  for (size_t i = 0; ids && styles && i < ids->size() && i < styles->size(); ++i) {
    if (!listed.empty()) listed += u";";
    listed += platform::FormatWide(platform::kUnlimited, u"%d/%d", (*ids)[i], (*styles)[i]);
  }
  CommandTabRecord& tab = host_->commandBoards[cookie_].tabs[tab_];
  if (auto fault = Enter("IHostCommandTabBox.AddCommands", tab.title, {listed})) return *fault;
  if (!ids || !styles || ids->size() != styles->size()) return S_OK;
  TabBoxRecord& box = tab.boxes[box_];
  box.commandIds.insert(box.commandIds.end(), ids->begin(), ids->end());
  box.textStyles.insert(box.textStyles.end(), styles->begin(), styles->end());
  if (added) *added = VARIANT_TRUE;
  return S_OK;
}

}  // namespace sim
