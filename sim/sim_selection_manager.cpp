#include "sim/sim_selection_manager.h"

#include "host/published/published_ids.h"
#include "sim/published_member.h"
#include "sim/sim_component.h"
#include "sim/sim_feature.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimSelectionManager::GetSelectedObjectCount2>("GetSelectedObjectCount2", 1),
    PublishMethod<&SimSelectionManager::GetSelectedObject6>("GetSelectedObject6", 2),
    PublishMethod<&SimSelectionManager::GetSelectedObjectType3>("GetSelectedObjectType3", 3),
};

constexpr LONG kAnyMark = -1;
// The type GetSelectedObjectType3 gives where nothing is selected.
constexpr LONG kNothingSelected = 0;

bool HasMark(const DocumentState::Selected& selected, LONG mark) {
  return mark == kAnyMark || selected.mark == mark;
}

}  // namespace

constinit const PublishedInterface SimSelectionManager::kPublished{"ISelectionMgr", kMembers};

SimSelectionManager::SimSelectionManager(std::shared_ptr<HostState> host,
                                         std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

const DocumentState::Selected* SimSelectionManager::Find(LONG index, LONG mark) const {
  for (const DocumentState::Selected& selected : document_->selection) {
    if (HasMark(selected, mark) && --index == 0) return &selected;
  }
  return nullptr;
}

LONG SimSelectionManager::GetSelectedObjectCount2(LONG mark) {
  LONG count = 0;
  for (const DocumentState::Selected& selected : document_->selection) {
    count += HasMark(selected, mark) ? 1 : 0;
  }
  return count;
}

ComPtr<IDispatch> SimSelectionManager::GetSelectedObject6(LONG index, LONG mark) {
  const DocumentState::Selected* selected = Find(index, mark);
  if (!selected) return nullptr;
  std::shared_ptr<DocumentState> owner = selected->owner->shared_from_this();
  if (selected->node.component) {
    ComponentRef component{
        owner, selected->node.component, {}, selected->prefix, kComponentFullyResolved, document_};
    return MakeComObject<SimComponent, IDispatch>(host_, std::move(component));
  }
  return MakeComObject<SimFeature, IDispatch>(
      host_, FeatureRef{owner, selected->node, document_, selected->prefix});
}

LONG SimSelectionManager::GetSelectedObjectType3(LONG index, LONG mark) {
  const DocumentState::Selected* selected = Find(index, mark);
  if (!selected) return kNothingSelected;
  return selected->node.component ? published::swSelCOMPONENTS : published::swSelBODYFEATURES;
}

}  // namespace sim
