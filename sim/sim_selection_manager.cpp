#include "sim/sim_selection_manager.h"

#include "sim/out_params.h"
#include "sim/sim_component.h"
#include "sim/sim_feature.h"

namespace sim {

SimSelectionManager::SimSelectionManager(std::shared_ptr<HostState> host,
                                         std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

HRESULT SimSelectionManager::GetSelectedObjectCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (auto fault = Enter("IHostSelectionManager.GetSelectedObjectCount",
                         [this] { return document_->FileName(); })) {
    return *fault;
  }
  *count = static_cast<LONG>(document_->selection.size());
  return S_OK;
}

HRESULT SimSelectionManager::GetSelectedObject(LONG index, LONG mark, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (auto fault = Enter("IHostSelectionManager.GetSelectedObject",
                         [this] { return document_->FileName(); }, {index, mark})) {
    return *fault;
  }
  // Every selection here carries the mark 0.
  if (index < 1 || static_cast<size_t>(index) > document_->selection.size() ||
      (mark != kAnySelectionMark && mark != 0)) {
    return S_OK;
  }
  const DocumentState::Selected& selected = document_->selection[static_cast<size_t>(index - 1)];
  std::shared_ptr<DocumentState> owner = selected.owner->shared_from_this();
  if (selected.node.component) {
    ComponentRef component{owner,           selected.node.component, {},
                           selected.prefix, kComponentFullyResolved, document_};
    *object = MakeComObject<SimComponent, IDispatch>(host_, std::move(component)).Detach();
  } else {
    *object = MakeComObject<SimFeature, IDispatch>(
                  host_, FeatureRef{owner, selected.node, document_, selected.prefix})
                  .Detach();
  }
  return S_OK;
}

}  // namespace sim
