#include "sim/sim_configuration.h"

#include "sim/out_params.h"
#include "sim/sim_component.h"
#include "sim/sim_property_manager.h"

namespace sim {

SimConfiguration::SimConfiguration(std::shared_ptr<HostState> host,
                                   std::shared_ptr<DocumentState> document, std::u16string name)
    : SimDispatchObject(std::move(host)), document_(std::move(document)), name_(std::move(name)) {}

ConfigurationModel* SimConfiguration::Model() const {
  return name_.empty() ? nullptr : FindConfiguration(document_->model, name_);
}

HRESULT SimConfiguration::ReadText(std::string_view operation,
                                   std::u16string ConfigurationModel::*field, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (auto fault = Enter(operation, Target())) return *fault;
  ConfigurationModel* model = Model();
  return ReturnText(model ? std::u16string_view(model->*field) : std::u16string_view(), out);
}

HRESULT SimConfiguration::WriteText(std::string_view operation,
                                    std::u16string ConfigurationModel::*field, BSTR value) {
  if (auto fault = Enter(operation, Target(), {BstrView(value)})) return *fault;
  ConfigurationModel* model = Model();
  if (!model) return E_FAIL;
  model->*field = std::u16string(BstrView(value));
  document_->changed = true;
  return S_OK;
}

HRESULT SimConfiguration::ReadFlag(std::string_view operation, bool ConfigurationModel::*field,
                                   VARIANT_BOOL* out) {
  if (!out) return E_POINTER;
  *out = VARIANT_FALSE;
  if (auto fault = Enter(operation, Target())) return *fault;
  ConfigurationModel* model = Model();
  *out = ToVariantBool(model && model->*field);
  return S_OK;
}

HRESULT SimConfiguration::WriteFlag(std::string_view operation, bool ConfigurationModel::*field,
                                    VARIANT_BOOL value) {
  if (auto fault = Enter(operation, Target(), {value})) return *fault;
  ConfigurationModel* model = Model();
  if (!model) return E_FAIL;
  model->*field = value != VARIANT_FALSE;
  document_->changed = true;
  return S_OK;
}

HRESULT SimConfiguration::GetName(BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  if (auto fault = Enter("IHostConfiguration.GetName", [this] { return Target(); })) return *fault;
  return ReturnText(name_, name);
}

HRESULT SimConfiguration::GetParent(IHostConfiguration** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (auto fault = Enter("IHostConfiguration.GetParent", [this] { return Target(); }))
    return *fault;
  ConfigurationModel* model = Model();
  if (!model || model->parent.empty()) return S_OK;
  return ReturnObject(
      MakeComObject<SimConfiguration, IHostConfiguration>(host_, document_, model->parent), parent);
}

HRESULT SimConfiguration::GetAlternateName(BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  if (auto fault = Enter("IHostConfiguration.GetAlternateName", [this] { return Target(); }))
    return *fault;
  ConfigurationModel* model = Model();
  bool shown = model && model->bomPartNumberSource == kBomPartNumberUserSpecified;
  return ReturnText(shown ? std::u16string_view(model->alternateName) : std::u16string_view(),
                    name);
}

HRESULT SimConfiguration::SetAlternateName(BSTR name) {
  return WriteText("IHostConfiguration.SetAlternateName", &ConfigurationModel::alternateName, name);
}

HRESULT SimConfiguration::GetType(LONG* type) {
  if (!type) return E_POINTER;
  *type = 0;
  if (auto fault = Enter("IHostConfiguration.GetType", [this] { return Target(); })) return *fault;
  if (ConfigurationModel* model = Model()) *type = model->type;
  return S_OK;
}

HRESULT SimConfiguration::GetBomPartNumberSource(LONG* source) {
  if (!source) return E_POINTER;
  *source = 0;
  if (auto fault = Enter("IHostConfiguration.GetBomPartNumberSource", [this] { return Target(); }))
    return *fault;
  if (ConfigurationModel* model = Model()) *source = model->bomPartNumberSource;
  return S_OK;
}

HRESULT SimConfiguration::SetBomPartNumberSource(LONG source) {
  if (auto fault = Enter("IHostConfiguration.SetBomPartNumberSource", [this] { return Target(); },
                         {source})) {
    return *fault;
  }
  ConfigurationModel* model = Model();
  if (!model) return E_FAIL;
  if (source != kBomPartNumberDocumentName && source != kBomPartNumberConfigurationName &&
      source != kBomPartNumberParentName && source != kBomPartNumberUserSpecified) {
    return E_INVALIDARG;
  }
  model->bomPartNumberSource = source;
  document_->changed = true;
  return S_OK;
}

HRESULT SimConfiguration::GetComment(BSTR* comment) {
  return ReadText("IHostConfiguration.GetComment", &ConfigurationModel::comment, comment);
}

HRESULT SimConfiguration::SetComment(BSTR comment) {
  return WriteText("IHostConfiguration.SetComment", &ConfigurationModel::comment, comment);
}

HRESULT SimConfiguration::GetDescription(BSTR* description) {
  return ReadText("IHostConfiguration.GetDescription", &ConfigurationModel::description,
                  description);
}

HRESULT SimConfiguration::SetDescription(BSTR description) {
  return WriteText("IHostConfiguration.SetDescription", &ConfigurationModel::description,
                   description);
}

HRESULT SimConfiguration::GetLocked(VARIANT_BOOL* locked) {
  return ReadFlag("IHostConfiguration.GetLocked", &ConfigurationModel::locked, locked);
}

HRESULT SimConfiguration::SetLocked(VARIANT_BOOL locked) {
  return WriteFlag("IHostConfiguration.SetLocked", &ConfigurationModel::locked, locked);
}

HRESULT SimConfiguration::GetUseAlternateNameInBom(VARIANT_BOOL* use) {
  return ReadFlag("IHostConfiguration.GetUseAlternateNameInBom",
                  &ConfigurationModel::useAlternateNameInBom, use);
}

HRESULT SimConfiguration::SetUseAlternateNameInBom(VARIANT_BOOL use) {
  return WriteFlag("IHostConfiguration.SetUseAlternateNameInBom",
                   &ConfigurationModel::useAlternateNameInBom, use);
}

HRESULT SimConfiguration::Root(IHostComponent** root) {
  if (!Model() || document_->type() != kDocTypeAssembly) return S_OK;
  ComponentRef component{document_, nullptr, name_, {}, kComponentFullyResolved, document_};
  return ReturnObject(MakeComObject<SimComponent, IHostComponent>(host_, std::move(component)),
                      root);
}

HRESULT SimConfiguration::GetRootComponent(IHostComponent** root) {
  if (!root) return E_POINTER;
  *root = nullptr;
  if (auto fault = Enter("IHostConfiguration.GetRootComponent", [this] { return Target(); }))
    return *fault;
  return Root(root);
}

HRESULT SimConfiguration::GetRootComponent2(LONG resolve, IHostComponent** root) {
  if (!root) return E_POINTER;
  *root = nullptr;
  if (auto fault =
          Enter("IHostConfiguration.GetRootComponent2", [this] { return Target(); }, {resolve})) {
    return *fault;
  }
  return Root(root);
}

HRESULT SimConfiguration::GetCustomPropertyManager(IHostCustomPropertyManager** manager) {
  if (!manager) return E_POINTER;
  *manager = nullptr;
  if (auto fault =
          Enter("IHostConfiguration.GetCustomPropertyManager", [this] { return Target(); }))
    return *fault;
  return ReturnObject(
      MakeComObject<SimPropertyManager, IHostCustomPropertyManager>(host_, document_, name_),
      manager);
}

}  // namespace sim
