#include "sim/sim_component.h"

#include "sim/out_params.h"
#include "sim/safe_arrays.h"
#include "sim/sim_feature.h"

namespace sim {

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

std::u16string SimComponent::Target() const {
  std::u16string where = component_.context->FileName() + u":";
  return component_.model ? where + component_.Name() : where + component_.configuration;
}

HRESULT SimComponent::GetName(BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  if (auto fault = Enter("IHostComponent.GetName", [this] { return Target(); })) return *fault;
  return ReturnText(component_.Name(), name);
}

HRESULT SimComponent::GetSuppressionState(LONG* state) {
  if (!state) return E_POINTER;
  *state = 0;
  if (auto fault = Enter("IHostComponent.GetSuppressionState", [this] { return Target(); }))
    return *fault;
  *state = component_.State();
  return S_OK;
}

HRESULT SimComponent::GetModelDoc(IDispatch** document) {
  if (!document) return E_POINTER;
  *document = nullptr;
  if (auto fault = Enter("IHostComponent.GetModelDoc", [this] { return Target(); })) return *fault;
  std::shared_ptr<DocumentState> model = component_.LoadedModel();
  if (!model) return S_OK;
  ComPtr<IHostModelDoc> object = host_->DocumentObject(model);
  *document = object.Detach();
  return S_OK;
}

HRESULT SimComponent::GetChildrenCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (auto fault = Enter("IHostComponent.GetChildrenCount", [this] { return Target(); }))
    return *fault;
  *count = static_cast<LONG>(component_.Children().size());
  return S_OK;
}

HRESULT SimComponent::GetChildren(SAFEARRAY** children) {
  if (!children) return E_POINTER;
  *children = nullptr;
  if (auto fault = Enter("IHostComponent.GetChildren", [this] { return Target(); })) return *fault;
  std::vector<ComPtr<IDispatch>> objects;
  for (ComponentRef& child : component_.Children()) {
    objects.push_back(MakeComObject<SimComponent, IDispatch>(host_, std::move(child)));
  }
  *children = MakeDispatchArray(objects);
  return *children ? S_OK : E_OUTOFMEMORY;
}

HRESULT SimComponent::GetReferencedConfiguration(BSTR* configuration) {
  if (!configuration) return E_POINTER;
  *configuration = nullptr;
  if (auto fault = Enter("IHostComponent.GetReferencedConfiguration", [this] { return Target(); }))
    return *fault;
  return ReturnText(component_.ReferencedConfiguration(), configuration);
}

HRESULT SimComponent::GetVisibility(LONG* visibility) {
  if (!visibility) return E_POINTER;
  *visibility = 0;
  if (auto fault = Enter("IHostComponent.GetVisibility", [this] { return Target(); }))
    return *fault;
  *visibility = component_.model ? component_.model->visibility : kComponentVisible;
  return S_OK;
}

HRESULT SimComponent::GetConstraintStatus(LONG* status) {
  if (!status) return E_POINTER;
  *status = 0;
  if (auto fault = Enter("IHostComponent.GetConstraintStatus", [this] { return Target(); }))
    return *fault;
  *status = component_.model ? component_.model->constraintStatus : kConstraintFullyDefined;
  return S_OK;
}

HRESULT SimComponent::GetPathName(BSTR* path) {
  if (!path) return E_POINTER;
  *path = nullptr;
  if (auto fault = Enter("IHostComponent.GetPathName", [this] { return Target(); })) return *fault;
  std::shared_ptr<DocumentState> file = component_.FileDocument();
  return ReturnText(file ? file->PathText() : std::u16string(), path);
}

HRESULT SimComponent::GetFirstFeature(IHostFeature** feature) {
  if (!feature) return E_POINTER;
  *feature = nullptr;
  if (auto fault = Enter("IHostComponent.GetFirstFeature", [this] { return Target(); }))
    return *fault;
  std::shared_ptr<DocumentState> model = component_.LoadedModel();
  if (!model) return S_OK;
  std::u16string prefix = component_.model ? component_.Name() + u"/" : std::u16string();
  return ReturnObject(
      SimFeature::Make(host_, FeatureRef{model, model->FirstFeature(), component_.context, prefix}),
      feature);
}

}  // namespace sim
