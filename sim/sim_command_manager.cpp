#include "sim/sim_command_manager.h"

#include "platform/format.h"
#include "sim/out_params.h"
#include "sim/sim_command_group.h"
#include "sim/sim_command_tab.h"

namespace sim {

SimCommandManager::SimCommandManager(std::shared_ptr<HostState> host, LONG cookie)
    : SimDispatchObject(std::move(host)), cookie_(cookie) {}

std::u16string SimCommandManager::Target() const {
  return platform::FormatWide(platform::kUnlimited, u"cookie %d", cookie_);
}

HRESULT SimCommandManager::CreateCommandGroup(LONG userId, BSTR title, BSTR tooltip, BSTR hint,
                                              LONG position, IHostCommandGroup** group) {
  if (!group) return E_POINTER;
  *group = nullptr;
  if (auto fault = Enter("IHostCommandManager.CreateCommandGroup", [this] { return Target(); },
                         {userId, BstrView(title), BstrView(tooltip), BstrView(hint), position})) {
    return *fault;
  }
  CommandBoard& board = Board();
  if (board.LiveGroup(userId)) return E_INVALIDARG;
  CommandGroupRecord record;
  record.userId = userId;
  record.title = std::u16string(BstrView(title));
  record.tooltip = std::u16string(BstrView(tooltip));
  record.hint = std::u16string(BstrView(hint));
  record.position = position;
  record.toolbarId = board.NewToolbarId();
  board.groups.push_back(std::move(record));
  return ReturnObject(
      MakeComObject<SimCommandGroup, IHostCommandGroup>(host_, cookie_, board.groups.size() - 1),
      group);
}

HRESULT SimCommandManager::RemoveCommandGroup(LONG userId, VARIANT_BOOL* removed) {
  if (removed) *removed = VARIANT_FALSE;
  if (auto fault =
          Enter("IHostCommandManager.RemoveCommandGroup", [this] { return Target(); }, {userId})) {
    return *fault;
  }
  CommandGroupRecord* group = Board().LiveGroup(userId);
  if (!group) return S_OK;
  group->removed = true;
  if (removed) *removed = VARIANT_TRUE;
  return S_OK;
}

HRESULT SimCommandManager::GetCommandTab(LONG docType, BSTR title, IHostCommandTab** tab) {
  if (!tab) return E_POINTER;
  *tab = nullptr;
  if (auto fault = Enter("IHostCommandManager.GetCommandTab", [this] { return Target(); },
                         {docType, BstrView(title)})) {
    return *fault;
  }
  CommandBoard& board = Board();
  CommandTabRecord* found = board.FindTab(docType, BstrView(title));
  if (!found) return S_OK;
  size_t index = static_cast<size_t>(found - board.tabs.data());
  return ReturnObject(MakeComObject<SimCommandTab, IHostCommandTab>(host_, cookie_, index), tab);
}

HRESULT SimCommandManager::AddCommandTab(LONG docType, BSTR title, IHostCommandTab** tab) {
  if (!tab) return E_POINTER;
  *tab = nullptr;
  if (auto fault = Enter("IHostCommandManager.AddCommandTab", [this] { return Target(); },
                         {docType, BstrView(title)})) {
    return *fault;
  }
  CommandBoard& board = Board();
  if (docType < kDocTypePart || docType > kDocTypeDrawing ||
      board.FindTab(docType, BstrView(title))) {
    return E_INVALIDARG;
  }
  CommandTabRecord record;
  record.docType = docType;
  record.title = std::u16string(BstrView(title));
  board.tabs.push_back(std::move(record));
  return ReturnObject(
      MakeComObject<SimCommandTab, IHostCommandTab>(host_, cookie_, board.tabs.size() - 1), tab);
}

}  // namespace sim
