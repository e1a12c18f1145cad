#include "sim/sim_property_manager.h"

#include "sim/out_params.h"
#include "sim/property_rules.h"
#include "sim/safe_arrays.h"

namespace sim {

SimPropertyManager::SimPropertyManager(std::shared_ptr<HostState> host,
                                       std::shared_ptr<DocumentState> document,
                                       std::u16string configuration)
    : SimDispatchObject(std::move(host)),
      document_(std::move(document)),
      configuration_(std::move(configuration)) {}

std::vector<PropertyModel>* SimPropertyManager::List() const {
  if (configuration_.empty()) return &document_->model.properties;
  ConfigurationModel* configuration = FindConfiguration(document_->model, configuration_);
  return configuration ? &configuration->properties : nullptr;
}

HRESULT SimPropertyManager::GetCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (auto fault = Enter("IHostCustomPropertyManager.GetCount", [this] { return Target(); }))
    return *fault;
  std::vector<PropertyModel>* list = List();
  if (!list) return E_FAIL;
  *count = static_cast<LONG>(list->size());
  return S_OK;
}

HRESULT SimPropertyManager::GetAll(SAFEARRAY** names, SAFEARRAY** types, SAFEARRAY** values) {
  if (!names || !types || !values) return E_POINTER;
  *names = *types = *values = nullptr;
  if (auto fault = Enter("IHostCustomPropertyManager.GetAll", [this] { return Target(); }))
    return *fault;
  std::vector<PropertyModel>* list = List();
  if (!list) return E_FAIL;
  std::vector<std::u16string> nameList;
  std::vector<LONG> typeList;
  std::vector<std::u16string> valueList;
  for (const PropertyModel& property : *list) {
    nameList.push_back(property.name);
    typeList.push_back(property.type);
    valueList.push_back(property.value);
  }
  ScopedSafeArray madeNames(MakeTextArray(nameList));
  ScopedSafeArray madeTypes(MakeLongArray(typeList));
  ScopedSafeArray madeValues(MakeTextArray(valueList));
  if (!madeNames.Get() || !madeTypes.Get() || !madeValues.Get()) return E_OUTOFMEMORY;
  *names = madeNames.Release();
  *types = madeTypes.Release();
  *values = madeValues.Release();
  return S_OK;
}

HRESULT SimPropertyManager::Add2(BSTR name, LONG type, BSTR value, LONG* result) {
  if (result) *result = kAddPropertyNotAdded;
  if (auto fault = Enter("IHostCustomPropertyManager.Add2", [this] { return Target(); },
                         {BstrView(name), type, BstrView(value)})) {
    return *fault;
  }
  std::vector<PropertyModel>* list = List();
  if (!list) return E_FAIL;
  LONG outcome = AddProperty(document_->listIndexes, *list, BstrView(name), type, BstrView(value));
  if (outcome == kAddPropertyAdded) document_->changed = true;
  if (result) *result = outcome;
  return S_OK;
}

HRESULT SimPropertyManager::Set2(BSTR name, BSTR value, LONG* result) {
  if (result) *result = kSetPropertyMissing;
  if (auto fault = Enter("IHostCustomPropertyManager.Set2", [this] { return Target(); },
                         {BstrView(name), BstrView(value)})) {
    return *fault;
  }
  std::vector<PropertyModel>* list = List();
  if (!list) return E_FAIL;
  LONG outcome = SetProperty(document_->listIndexes, *list, BstrView(name), BstrView(value));
  if (outcome == kSetPropertyDone) document_->changed = true;
  if (result) *result = outcome;
  return S_OK;
}

}  // namespace sim
