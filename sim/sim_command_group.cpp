#include "sim/sim_command_group.h"

#include "platform/format.h"
#include "sim/out_params.h"

namespace sim {

SimCommandGroup::SimCommandGroup(std::shared_ptr<HostState> host, LONG cookie, size_t index)
    : SimDispatchObject(std::move(host)), cookie_(cookie), index_(index) {}

std::u16string SimCommandGroup::Target() const {
  return platform::FormatWide(platform::kUnlimited, u"group %d", Group().userId);
}

LONG SimCommandGroup::Insert(CommandItemRecord item) {
  CommandGroupRecord& group = Group();
  size_t index = group.items.size();
  LONG position = item.position;
  group.items.push_back(std::move(item));
  if (position < 0 || static_cast<size_t>(position) >= group.menuOrder.size()) {
    group.menuOrder.push_back(index);
  } else {
    group.menuOrder.insert(group.menuOrder.begin() + position, index);
  }
  return static_cast<LONG>(index);
}

HRESULT SimCommandGroup::AddCommandItem(BSTR name, LONG position, BSTR hint, BSTR tooltip,
                                        LONG imageIndex, BSTR callback, BSTR enableMethod,
                                        LONG userId, LONG* index) {
  if (index) *index = -1;
  if (auto fault = Enter("IHostCommandGroup.AddCommandItem", [this] { return Target(); },
                         {BstrView(name), position, BstrView(hint), BstrView(tooltip), imageIndex,
                          BstrView(callback), BstrView(enableMethod), userId})) {
    return *fault;
  }
  if (Group().removed) return E_FAIL;
  CommandItemRecord item;
  item.name = std::u16string(BstrView(name));
  item.hint = std::u16string(BstrView(hint));
  item.tooltip = std::u16string(BstrView(tooltip));
  item.position = position;
  item.imageIndex = imageIndex;
  item.callback = std::u16string(BstrView(callback));
  item.enableMethod = std::u16string(BstrView(enableMethod));
  item.userId = userId;
  item.commandId = host_->commandBoards[cookie_].NewCommandId();
  LONG added = Insert(std::move(item));
  if (index) *index = added;
  return S_OK;
}

HRESULT SimCommandGroup::AddSeparator(LONG position, LONG* index) {
  if (index) *index = -1;
  if (auto fault = Enter("IHostCommandGroup.AddSeparator", [this] { return Target(); }, {position}))
    return *fault;
  if (Group().removed) return E_FAIL;
  CommandItemRecord item;
  item.separator = true;
  item.position = position;
  LONG added = Insert(std::move(item));
  if (index) *index = added;
  return S_OK;
}

HRESULT SimCommandGroup::SetHasToolbar(VARIANT_BOOL hasToolbar) {
  if (auto fault =
          Enter("IHostCommandGroup.SetHasToolbar", [this] { return Target(); }, {hasToolbar})) {
    return *fault;
  }
  if (Group().removed) return E_FAIL;
  Group().hasToolbar = hasToolbar;
  return S_OK;
}

HRESULT SimCommandGroup::Activate(VARIANT_BOOL* activated) {
  if (activated) *activated = VARIANT_FALSE;
  if (auto fault = Enter("IHostCommandGroup.Activate", [this] { return Target(); })) return *fault;
  if (Group().removed) return E_FAIL;
  ++Group().activations;
  if (activated) *activated = VARIANT_TRUE;
  return S_OK;
}

HRESULT SimCommandGroup::GetCommandId(LONG index, LONG* commandId) {
  if (!commandId) return E_POINTER;
  *commandId = 0;
  if (auto fault = Enter("IHostCommandGroup.GetCommandId", [this] { return Target(); }, {index}))
    return *fault;
  const CommandGroupRecord& group = Group();
  if (index < 0 || static_cast<size_t>(index) >= group.items.size() ||
      group.items[static_cast<size_t>(index)].separator) {
    return E_INVALIDARG;
  }
  *commandId = group.items[static_cast<size_t>(index)].commandId;
  return S_OK;
}

HRESULT SimCommandGroup::GetToolbarId(LONG* toolbarId) {
  if (!toolbarId) return E_POINTER;
  *toolbarId = 0;
  if (auto fault = Enter("IHostCommandGroup.GetToolbarId", [this] { return Target(); }))
    return *fault;
  *toolbarId = Group().toolbarId;
  return S_OK;
}

}  // namespace sim
