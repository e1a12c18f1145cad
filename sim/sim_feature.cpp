#include "sim/sim_feature.h"

#include "host/published/published_ids.h"
#include "sim/published_member.h"
#include "sim/sim_display_dimension.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimFeature::Name>("Name", 1),
    PublishMethod<&SimFeature::GetTypeName2>("GetTypeName2", 2),
    PublishMethod<&SimFeature::GetNextFeature>("GetNextFeature", 3),
    PublishMethod<&SimFeature::GetOwnerFeature>("GetOwnerFeature", 4),
    PublishMethod<&SimFeature::GetFirstSubFeature>("GetFirstSubFeature", 5),
    PublishMethod<&SimFeature::GetNextSubFeature>("GetNextSubFeature", 6),
    PublishGet<&SimFeature::CreatedBy>("CreatedBy", 7),
    PublishGet<&SimFeature::DateCreated>("DateCreated", 8),
    PublishGet<&SimFeature::DateModified>("DateModified", 9),
    PublishMethod<&SimFeature::GetCreatedVersion>("GetCreatedVersion", 10),
    PublishMethod<&SimFeature::GetModifiedVersion>("GetModifiedVersion", 11),
    PublishMethod<&SimFeature::GetUpdateStamp>("GetUpdateStamp", 12),
    PublishGet<&SimFeature::Description>("Description", 13),
    PublishPut<&SimFeature::put_Description>("Description", 13),
    PublishMethod<&SimFeature::GetEditStatus>("GetEditStatus", 14),
    PublishMethod<&SimFeature::GetErrorCode2>("GetErrorCode2", 15),
    PublishMethod<&SimFeature::IsBase2>("IsBase2", 16),
    PublishGet<&SimFeature::Visible>("Visible", 17),
    PublishMethod<&SimFeature::Select2>("Select2", 18),
    PublishMethod<&SimFeature::GetUIState>("GetUIState", 19),
    PublishMethod<&SimFeature::SetUIState>("SetUIState", 20),
    PublishMethod<&SimFeature::IsSuppressed2>("IsSuppressed2", 21),
    PublishMethod<&SimFeature::GetFirstDisplayDimension>("GetFirstDisplayDimension", 22),
    PublishMethod<&SimFeature::GetNextDisplayDimension>("GetNextDisplayDimension", 23),
};

}  // namespace

constinit const PublishedInterface SimFeature::kPublished{"IFeature", kMembers};

SimFeature::SimFeature(std::shared_ptr<HostState> host, FeatureRef feature)
    : SimDispatchObject(std::move(host)), feature_(std::move(feature)) {}

ComPtr<IDispatch> SimFeature::Make(const std::shared_ptr<HostState>& host, FeatureRef feature) {
  if (!feature.node) return nullptr;
  return MakeComObject<SimFeature, IDispatch>(host, std::move(feature));
}

std::u16string SimFeature::NodeName() const {
  const FeatureNode& node = feature_.node;
  return node.feature ? node.feature->name : node.component->name;
}

std::u16string SimFeature::JournalTarget() const {
  return feature_.owner->FileName() + u":" + NodeName();
}

FeatureFields& SimFeature::Fields() const {
  const FeatureNode& node = feature_.node;
  return node.feature ? node.feature->fields : node.component->feature;
}

ComPtr<IDispatch> SimFeature::NodeObject(FeatureNode node) const {
  FeatureRef next = feature_;
  next.node = node;
  return Make(host_, std::move(next));
}

std::u16string SimFeature::Name() { return NodeName(); }

std::u16string SimFeature::GetTypeName2() {
  const FeatureNode& node = feature_.node;
  return node.feature ? node.feature->typeName : kReferenceFeatureTypeName;
}

ComPtr<IDispatch> SimFeature::GetNextFeature() {
  return NodeObject(feature_.owner->NextInChain(feature_.node));
}

ComPtr<IDispatch> SimFeature::GetOwnerFeature() {
  return NodeObject(feature_.owner->Owner(feature_.node));
}

ComPtr<IDispatch> SimFeature::GetFirstSubFeature() {
  return NodeObject(feature_.owner->FirstSub(feature_.node));
}

ComPtr<IDispatch> SimFeature::GetNextSubFeature() {
  return NodeObject(feature_.owner->NextSub(feature_.node));
}

std::u16string SimFeature::CreatedBy() { return Fields().createdBy; }
std::u16string SimFeature::DateCreated() { return Fields().dateCreated; }
std::u16string SimFeature::DateModified() { return Fields().dateModified; }
LONG SimFeature::GetCreatedVersion() { return Fields().createdVersion; }
LONG SimFeature::GetModifiedVersion() { return Fields().modifiedVersion; }
LONG SimFeature::GetUpdateStamp() { return Fields().updateStamp; }
std::u16string SimFeature::Description() { return Fields().description; }

void SimFeature::put_Description(std::u16string_view description) {
  Fields().description = std::u16string(description);
  feature_.owner->changed = true;
}

LONG SimFeature::GetEditStatus() { return Fields().editStatus; }

// The model knows errors only; none is a warning.
LONG SimFeature::GetErrorCode2(bool* isWarning) {
  *isWarning = false;
  return Fields().errorCode;
}

bool SimFeature::IsBase2() { return Fields().isBase; }
LONG SimFeature::Visible() { return Fields().visible; }

bool SimFeature::Select2(bool append, LONG mark) {
  DocumentState& context = *feature_.context;
  if (!append) context.selection.clear();
  context.selection.push_back(
      DocumentState::Selected{feature_.owner.get(), feature_.node, feature_.prefix, mark});
  context.sinks->Fire(published::doc_event::kNewSelectionNotify, {});
  return true;
}

bool SimFeature::GetUIState(LONG kind) {
  return kind == published::swIsHiddenInFeatureMgr && Fields().uiState;
}

void SimFeature::SetUIState(LONG kind, bool flag) {
  if (kind != published::swIsHiddenInFeatureMgr) return;
  Fields().uiState = flag;
  feature_.owner->changed = true;
}

// A feature has one suppression state for all configurations here, so the
// configurations named change nothing.
std::vector<bool> SimFeature::IsSuppressed2(LONG option, const VARIANT&) {
  if (option != published::swThisConfiguration) return {};
  const FeatureNode& node = feature_.node;
  return {node.feature ? node.feature->suppressed : node.component->state == kComponentSuppressed};
}

ComPtr<IDispatch> SimFeature::DisplayDimension(size_t index) const {
  const FeatureModel* model = feature_.node.feature;
  if (!model || index >= model->displayDimensions.size()) return nullptr;
  return MakeComObject<SimDisplayDimension, IDispatch>(host_, feature_.owner, model, index);
}

ComPtr<IDispatch> SimFeature::GetFirstDisplayDimension() { return DisplayDimension(0); }

ComPtr<IDispatch> SimFeature::GetNextDisplayDimension(IDispatch* current) {
  // Display dimension objects are made anew for every call: what one stands
  // for identifies it.
  auto* shown = dynamic_cast<SimDisplayDimension*>(current);
  if (!shown || shown->feature() != feature_.node.feature) return nullptr;
  return DisplayDimension(shown->index() + 1);
}

}  // namespace sim
