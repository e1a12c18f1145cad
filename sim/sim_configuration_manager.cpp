#include "sim/sim_configuration_manager.h"

#include "platform/text.h"
#include "sim/out_params.h"
#include "sim/safe_arrays.h"
#include "sim/sim_configuration.h"

namespace sim {

SimConfigurationManager::SimConfigurationManager(std::shared_ptr<HostState> host,
                                                 std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

HRESULT SimConfigurationManager::GetParameterCount(BSTR configuration, LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (auto fault = Enter("IHostConfigurationManager.GetParameterCount",
                         [this] { return document_->FileName(); }, {BstrView(configuration)})) {
    return *fault;
  }
  ConfigurationModel* model = FindConfiguration(document_->model, BstrView(configuration));
  if (!model) return E_INVALIDARG;
  *count = static_cast<LONG>(model->parameters.size());
  return S_OK;
}

HRESULT SimConfigurationManager::GetParameters(BSTR configuration, SAFEARRAY** names,
                                               SAFEARRAY** values) {
  if (!names || !values) return E_POINTER;
  *names = *values = nullptr;
  if (auto fault = Enter("IHostConfigurationManager.GetParameters",
                         [this] { return document_->FileName(); }, {BstrView(configuration)})) {
    return *fault;
  }
  ConfigurationModel* model = FindConfiguration(document_->model, BstrView(configuration));
  if (!model) return E_INVALIDARG;
  std::vector<std::u16string> nameList;
  std::vector<std::u16string> valueList;
  for (const ParameterModel& parameter : model->parameters) {
    nameList.push_back(parameter.name);
    valueList.push_back(parameter.value);
  }
  ScopedSafeArray madeNames(MakeTextArray(nameList));
  ScopedSafeArray madeValues(MakeTextArray(valueList));
  if (!madeNames.Get() || !madeValues.Get()) return E_OUTOFMEMORY;
  *names = madeNames.Release();
  *values = madeValues.Release();
  return S_OK;
}

HRESULT SimConfigurationManager::SetParameters(BSTR configuration, LONG count, SAFEARRAY* names,
                                               SAFEARRAY* values, VARIANT_BOOL* done) {
  if (done) *done = VARIANT_FALSE;
  std::optional<std::vector<std::u16string>> nameList = ReadTextArray(names);
  std::optional<std::vector<std::u16string>> valueList = ReadTextArray(values);
  // The journal shows the pairs handed over, "name=value" each.
  std::u16string pairs;
  for (size_t i = 0; host_->journal.recording() && nameList && valueList && i < nameList->size() &&
                     i < valueList->size() && static_cast<LONG>(i) < count;
       ++i) {
    if (!pairs.empty()) pairs += u";";
    pairs += (*nameList)[i] + u"=" + (*valueList)[i];
  }
  if (auto fault =
          Enter("IHostConfigurationManager.SetParameters", [this] { return document_->FileName(); },
                {BstrView(configuration), count, pairs})) {
    return *fault;
  }
  if (BstrView(configuration).empty() || count < 0 || !nameList || !valueList ||
      static_cast<size_t>(count) > nameList->size() ||
      static_cast<size_t>(count) > valueList->size()) {
    return S_OK;
  }
  ModelData& model = document_->model;
  ConfigurationModel* target = FindConfiguration(model, BstrView(configuration));
  if (!target) {
    ConfigurationModel created;
    created.name = std::u16string(BstrView(configuration));
    if (const ConfigurationModel* active = ActiveConfiguration(model)) {
      created.components = active->components;
    }
    model.configurations.push_back(std::move(created));
    target = &model.configurations.back();
  }
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    if (ParameterModel* parameter =
            document_->listIndexes.Find(target->parameters, (*nameList)[i])) {
      parameter->value = (*valueList)[i];
    } else {
      target->parameters.push_back(ParameterModel{(*nameList)[i], (*valueList)[i]});
    }
  }
  document_->changed = true;
  if (done) *done = VARIANT_TRUE;
  return S_OK;
}

HRESULT SimConfigurationManager::GetDocumentConfiguration(IHostConfiguration** configuration) {
  if (!configuration) return E_POINTER;
  *configuration = nullptr;
  if (auto fault = Enter("IHostConfigurationManager.GetDocumentConfiguration",
                         [this] { return document_->FileName(); })) {
    return *fault;
  }
  return ReturnObject(
      MakeComObject<SimConfiguration, IHostConfiguration>(host_, document_, std::u16string()),
      configuration);
}

}  // namespace sim
