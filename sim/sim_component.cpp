#include "sim/sim_component.h"

#include "sim/published_member.h"
#include "sim/sim_feature.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimComponent::Name2>("Name2", 1),
    PublishMethod<&SimComponent::GetSuppression2>("GetSuppression2", 2),
    PublishMethod<&SimComponent::GetModelDoc2>("GetModelDoc2", 3),
    PublishMethod<&SimComponent::GetChildren>("GetChildren", 4),
    PublishGet<&SimComponent::ReferencedConfiguration>("ReferencedConfiguration", 5),
    PublishGet<&SimComponent::Visible>("Visible", 6),
    PublishMethod<&SimComponent::GetConstrainedStatus>("GetConstrainedStatus", 7),
    PublishMethod<&SimComponent::GetPathName>("GetPathName", 8),
    PublishMethod<&SimComponent::FirstFeature>("FirstFeature", 9),
    PublishMethod<&SimComponent::IsRoot>("IsRoot", 10),
};

}  // namespace

constinit const PublishedInterface SimComponent::kPublished{"IComponent2", kMembers};

LONG ComponentRef::State() const {
  if (!model) return kComponentFullyResolved;
  bool loaded = model->state == kComponentFullyResolved || model->state == kComponentResolved;
  if (parentState == kComponentSuppressed) return kComponentSuppressed;
  if ((parentState == kComponentLightweight || parentState == kComponentFullyLightweight) &&
      loaded) {
    return parentState;
  }
  return model->state;
}

std::shared_ptr<DocumentState> ComponentRef::FileDocument() const {
  return model ? owner->Referenced(model->file) : owner;
}

std::shared_ptr<DocumentState> ComponentRef::LoadedModel() const {
  LONG state = State();
  if (state != kComponentFullyResolved && state != kComponentResolved) return nullptr;
  return FileDocument();
}

std::u16string ComponentRef::ReferencedConfiguration() const {
  if (!model) return configuration;
  if (!model->configuration.empty()) return model->configuration;
  std::shared_ptr<DocumentState> file = FileDocument();
  return file ? file->ActiveConfigurationName() : std::u16string();
}

std::vector<ComponentRef> ComponentRef::Children() const {
  std::shared_ptr<DocumentState> file = FileDocument();
  std::vector<ComponentRef> children;
  if (!file || file->type() != kDocTypeAssembly) return children;
  const ConfigurationModel* configuration =
      FindConfiguration(file->model, ReferencedConfiguration());
  if (!configuration) return children;
  std::u16string childPrefix = model ? Name() + u"/" : std::u16string();
  LONG state = State();
  for (const ComponentModel& child : configuration->components) {
    children.push_back(ComponentRef{file, &child, {}, childPrefix, state, context});
  }
  return children;
}

SimComponent::SimComponent(std::shared_ptr<HostState> host, ComponentRef component)
    : SimDispatchObject(std::move(host)), component_(std::move(component)) {}

std::u16string SimComponent::JournalTarget() const {
  std::u16string where = component_.context->FileName() + u":";
  return component_.model ? where + component_.Name() : where + component_.configuration;
}

std::u16string SimComponent::Name2() { return component_.Name(); }
LONG SimComponent::GetSuppression2() { return component_.State(); }

ComPtr<IDispatch> SimComponent::GetModelDoc2() {
  return host_->DocumentObject(component_.LoadedModel());
}

std::vector<ComPtr<IDispatch>> SimComponent::GetChildren() {
  std::vector<ComPtr<IDispatch>> children;
  for (ComponentRef& child : component_.Children()) {
    children.push_back(MakeComObject<SimComponent, IDispatch>(host_, std::move(child)));
  }
  return children;
}

std::u16string SimComponent::ReferencedConfiguration() {
  return component_.ReferencedConfiguration();
}

LONG SimComponent::Visible() {
  return component_.model ? component_.model->visibility : kComponentVisible;
}

LONG SimComponent::GetConstrainedStatus() {
  LONG status = component_.model ? component_.model->constraintStatus : kConstraintFullyDefined;
  return status + 1;
}

std::u16string SimComponent::GetPathName() {
  std::shared_ptr<DocumentState> file = component_.FileDocument();
  return file ? file->PathText() : std::u16string();
}

ComPtr<IDispatch> SimComponent::FirstFeature() {
  std::shared_ptr<DocumentState> model = component_.LoadedModel();
  if (!model) return nullptr;
  std::u16string prefix = component_.model ? component_.Name() + u"/" : std::u16string();
  return SimFeature::Make(host_,
                          FeatureRef{model, model->FirstFeature(), component_.context, prefix});
}

bool SimComponent::IsRoot() { return component_.model == nullptr; }

}  // namespace sim
