#include "sim/sim_configuration_manager.h"

#include "sim/published_member.h"
#include "sim/sim_configuration.h"
#include "sim/variant_values.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimConfigurationManager::GetConfigurationParamsCount>(
        "GetConfigurationParamsCount", 1),
    PublishMethod<&SimConfigurationManager::GetConfigurationParams>("GetConfigurationParams", 2),
    PublishMethod<&SimConfigurationManager::SetConfigurationParams>("SetConfigurationParams", 3),
    PublishGet<&SimConfigurationManager::ActiveConfiguration>("ActiveConfiguration", 4),
};

}  // namespace

constinit const PublishedInterface SimConfigurationManager::kPublished{"IConfigurationManager",
                                                                       kMembers};

SimConfigurationManager::SimConfigurationManager(std::shared_ptr<HostState> host,
                                                 std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

LONG SimConfigurationManager::GetConfigurationParamsCount(std::u16string_view configuration) {
  const ConfigurationModel* model = FindConfiguration(document_->model, configuration);
  return model ? static_cast<LONG>(model->parameters.size()) : 0;
}

bool SimConfigurationManager::GetConfigurationParams(std::u16string_view configuration,
                                                     std::vector<std::u16string>* names,
                                                     std::vector<std::u16string>* values) {
  const ConfigurationModel* model = FindConfiguration(document_->model, configuration);
  if (!model) return false;
  for (const ParameterModel& parameter : model->parameters) {
    names->push_back(parameter.name);
    values->push_back(parameter.value);
  }
  return true;
}

bool SimConfigurationManager::SetConfigurationParams(std::u16string_view configuration,
                                                     const VARIANT* names, const VARIANT* values) {
  std::optional<std::vector<std::u16string>> nameList = ReadTextList(*names);
  std::optional<std::vector<std::u16string>> valueList = ReadTextList(*values);
  if (configuration.empty() || !nameList || !valueList || nameList->size() != valueList->size()) {
    return false;
  }
  ModelData& model = document_->model;
  ConfigurationModel* target = FindConfiguration(model, configuration);
  if (!target) {
    ConfigurationModel created;
    created.name = std::u16string(configuration);
    if (const ConfigurationModel* active = sim::ActiveConfiguration(model)) {
      created.components = active->components;
    }
    model.configurations.push_back(std::move(created));
    target = &model.configurations.back();
  }
  for (size_t i = 0; i < nameList->size(); ++i) {
    if (ParameterModel* parameter =
            document_->listIndexes.Find(target->parameters, (*nameList)[i])) {
      parameter->value = (*valueList)[i];
    } else {
      target->parameters.push_back(ParameterModel{(*nameList)[i], (*valueList)[i]});
    }
  }
  document_->changed = true;
  return true;
}

ComPtr<IDispatch> SimConfigurationManager::ActiveConfiguration() {
  std::u16string name = document_->ActiveConfigurationName();
  if (name.empty()) return nullptr;
  return MakeComObject<SimConfiguration, IDispatch>(host_, document_, std::move(name));
}

}  // namespace sim
