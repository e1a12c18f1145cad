#include "sim/sim_document.h"

#include <algorithm>

#include "platform/text.h"
#include "sim/error_report.h"
#include "sim/out_params.h"
#include "sim/property_rules.h"
#include "sim/safe_arrays.h"
#include "sim/sim_configuration.h"
#include "sim/sim_configuration_manager.h"
#include "sim/sim_connection_point.h"
#include "sim/sim_equation_manager.h"
#include "sim/sim_feature.h"
#include "sim/sim_selection_manager.h"

namespace sim {
namespace {

// The documents a document uses directly, in the order of first use:
// component files of every configuration (those used only by suppressed
// components when asked for), then the models a drawing shows.
std::vector<std::shared_ptr<DocumentState>> DirectDependencies(const DocumentState& document,
                                                               bool includeSuppressed) {
  std::vector<std::shared_ptr<DocumentState>> found;
  auto add = [&found](std::shared_ptr<DocumentState> used) {
    if (used && std::find(found.begin(), found.end(), used) == found.end()) {
      found.push_back(std::move(used));
    }
  };
  for (const ConfigurationModel& configuration : document.model.configurations) {
    for (const ComponentModel& component : configuration.components) {
      if (includeSuppressed || component.state != kComponentSuppressed) {
        add(document.Referenced(component.file));
      }
    }
  }
  for (const std::u16string& reference : document.model.references) {
    add(document.Referenced(reference));
  }
  return found;
}

void CollectDependencies(const DocumentState& document, bool traverse, bool includeSuppressed,
                         bool uniqueOnly, std::vector<const DocumentState*>& visited,
                         std::vector<const DocumentState*>& listed) {
  visited.push_back(&document);
  for (const auto& used : DirectDependencies(document, includeSuppressed)) {
    if (!uniqueOnly || std::find(listed.begin(), listed.end(), used.get()) == listed.end()) {
      listed.push_back(used.get());
    }
    if (traverse && std::find(visited.begin(), visited.end(), used.get()) == visited.end()) {
      CollectDependencies(*used, traverse, includeSuppressed, uniqueOnly, visited, listed);
    }
  }
}

}  // namespace

SimDocument::SimDocument(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

SimDocument::~SimDocument() { host_->ForgetDocumentObject(document_.get()); }

std::vector<PropertyModel>* SimDocument::Properties(BSTR configuration) const {
  if (BstrView(configuration).empty()) return &document_->model.properties;
  ConfigurationModel* model = FindConfiguration(document_->model, BstrView(configuration));
  return model ? &model->properties : nullptr;
}

HRESULT SimDocument::GetType(LONG* type) {
  if (!type) return E_POINTER;
  *type = 0;
  if (auto fault = Enter("IHostModelDoc.GetType", [this] { return Target(); })) return *fault;
  *type = document_->type();
  return S_OK;
}

HRESULT SimDocument::GetPathName(BSTR* path) {
  if (!path) return E_POINTER;
  *path = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetPathName", [this] { return Target(); })) return *fault;
  return ReturnText(document_->PathText(), path);
}

HRESULT SimDocument::GetTitle(BSTR* title) {
  if (!title) return E_POINTER;
  *title = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetTitle", [this] { return Target(); })) return *fault;
  return ReturnText(document_->Title(), title);
}

HRESULT SimDocument::GetNext(IHostModelDoc** next) {
  if (!next) return E_POINTER;
  *next = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetNext", [this] { return Target(); })) return *fault;
  const auto& documents = host_->documents();
  auto it = std::find(documents.begin(), documents.end(), document_);
  if (it == documents.end() || ++it == documents.end()) return S_OK;
  return ReturnObject(host_->DocumentObject(*it), next);
}

HRESULT SimDocument::GetFirstFeature(IHostFeature** feature) {
  if (!feature) return E_POINTER;
  *feature = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetFirstFeature", [this] { return Target(); }))
    return *fault;
  return ReturnObject(
      SimFeature::Make(host_, FeatureRef{document_, document_->FirstFeature(), document_, {}}),
      feature);
}

HRESULT SimDocument::GetSelectionManager(IHostSelectionManager** manager) {
  if (!manager) return E_POINTER;
  *manager = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetSelectionManager", [this] { return Target(); }))
    return *fault;
  return ReturnObject(MakeComObject<SimSelectionManager, IHostSelectionManager>(host_, document_),
                      manager);
}

HRESULT SimDocument::GetEquationManager(IHostEquationManager** manager) {
  if (!manager) return E_POINTER;
  *manager = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetEquationManager", [this] { return Target(); }))
    return *fault;
  return ReturnObject(MakeComObject<SimEquationManager, IHostEquationManager>(host_, document_),
                      manager);
}

HRESULT SimDocument::GetConfigurationCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (auto fault = Enter("IHostModelDoc.GetConfigurationCount", [this] { return Target(); }))
    return *fault;
  *count = static_cast<LONG>(document_->model.configurations.size());
  return S_OK;
}

HRESULT SimDocument::GetConfigurationNames(SAFEARRAY** names) {
  if (!names) return E_POINTER;
  *names = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetConfigurationNames", [this] { return Target(); }))
    return *fault;
  std::vector<std::u16string> list;
  for (const ConfigurationModel& configuration : document_->model.configurations) {
    list.push_back(configuration.name);
  }
  *names = MakeTextArray(list);
  return *names ? S_OK : E_OUTOFMEMORY;
}

HRESULT SimDocument::GetConfiguration(BSTR name, IHostConfiguration** configuration) {
  if (!configuration) return E_POINTER;
  *configuration = nullptr;
  if (auto fault =
          Enter("IHostModelDoc.GetConfiguration", [this] { return Target(); }, {BstrView(name)})) {
    return *fault;
  }
  if (BstrView(name).empty() || !FindConfiguration(document_->model, BstrView(name))) {
    return E_INVALIDARG;
  }
  return ReturnObject(MakeComObject<SimConfiguration, IHostConfiguration>(
                          host_, document_, std::u16string(BstrView(name))),
                      configuration);
}

HRESULT SimDocument::GetActiveConfiguration(IHostConfiguration** configuration) {
  if (!configuration) return E_POINTER;
  *configuration = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetActiveConfiguration", [this] { return Target(); }))
    return *fault;
  std::u16string name = document_->ActiveConfigurationName();
  if (name.empty()) return S_OK;
  return ReturnObject(
      MakeComObject<SimConfiguration, IHostConfiguration>(host_, document_, std::move(name)),
      configuration);
}

HRESULT SimDocument::GetConfigurationManager(IHostConfigurationManager** manager) {
  if (!manager) return E_POINTER;
  *manager = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetConfigurationManager", [this] { return Target(); }))
    return *fault;
  return ReturnObject(
      MakeComObject<SimConfigurationManager, IHostConfigurationManager>(host_, document_), manager);
}

HRESULT SimDocument::GetCustomPropertyCount(BSTR configuration, LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (auto fault = Enter("IHostModelDoc.GetCustomPropertyCount", [this] { return Target(); },
                         {BstrView(configuration)})) {
    return *fault;
  }
  std::vector<PropertyModel>* properties = Properties(configuration);
  if (!properties) return E_INVALIDARG;
  *count = static_cast<LONG>(properties->size());
  return S_OK;
}

HRESULT SimDocument::GetCustomPropertyNames(BSTR configuration, SAFEARRAY** names) {
  if (!names) return E_POINTER;
  *names = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetCustomPropertyNames", [this] { return Target(); },
                         {BstrView(configuration)})) {
    return *fault;
  }
  std::vector<PropertyModel>* properties = Properties(configuration);
  if (!properties) return E_INVALIDARG;
  std::vector<std::u16string> list;
  for (const PropertyModel& property : *properties) list.push_back(property.name);
  *names = MakeTextArray(list);
  return *names ? S_OK : E_OUTOFMEMORY;
}

HRESULT SimDocument::GetCustomPropertyValue(BSTR configuration, BSTR name, BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  if (auto fault = Enter("IHostModelDoc.GetCustomPropertyValue", [this] { return Target(); },
                         {BstrView(configuration), BstrView(name)})) {
    return *fault;
  }
  std::vector<PropertyModel>* properties = Properties(configuration);
  if (!properties) return E_INVALIDARG;
  const PropertyModel* property = document_->listIndexes.Find(*properties, BstrView(name));
  if (!property) return S_FALSE;
  return ReturnText(property->value, value);
}

HRESULT SimDocument::GetCustomPropertyType(BSTR configuration, BSTR name, LONG* type) {
  if (!type) return E_POINTER;
  *type = 0;
  if (auto fault = Enter("IHostModelDoc.GetCustomPropertyType", [this] { return Target(); },
                         {BstrView(configuration), BstrView(name)})) {
    return *fault;
  }
  std::vector<PropertyModel>* properties = Properties(configuration);
  if (!properties) return E_INVALIDARG;
  const PropertyModel* property = document_->listIndexes.Find(*properties, BstrView(name));
  if (!property) return S_FALSE;
  *type = property->type;
  return S_OK;
}

HRESULT SimDocument::Save(VARIANT_BOOL silent) {
  if (auto fault = Enter("IHostModelDoc.Save", [this] { return Target(); }, {silent}))
    return *fault;
  try {
    host_->Save(*document_);
  } catch (const std::exception& error) {
    PublishHostError(platform::Utf8ToUtf16(error.what()));
    return E_FAIL;
  }
  return S_OK;
}

HRESULT SimDocument::GetDependencies(VARIANT_BOOL traverse, VARIANT_BOOL includeSuppressed,
                                     VARIANT_BOOL uniqueOnly, VARIANT* dependencies) {
  if (!dependencies) return E_POINTER;
  VariantInit(dependencies);
  if (auto fault = Enter("IHostModelDoc.GetDependencies", [this] { return Target(); },
                         {traverse, includeSuppressed, uniqueOnly})) {
    return *fault;
  }
  std::vector<const DocumentState*> visited;
  std::vector<const DocumentState*> listed;
  CollectDependencies(*document_, traverse != VARIANT_FALSE, includeSuppressed != VARIANT_FALSE,
                      uniqueOnly != VARIANT_FALSE, visited, listed);
  std::vector<std::u16string> pairs;
  for (const DocumentState* used : listed) {
    pairs.push_back(used->FileName());
    pairs.push_back(used->PathText());
  }
  SAFEARRAY* array = MakeTextArray(pairs);
  if (!array) return E_OUTOFMEMORY;
  dependencies->vt = VT_ARRAY | VT_BSTR;
  dependencies->parray = array;
  return S_OK;
}

HRESULT SimDocument::PrepareForClose() {
  if (auto fault = Enter("IHostModelDoc.PrepareForClose", [this] { return Target(); }))
    return *fault;
  document_->selection.clear();
  return S_OK;
}

HRESULT SimDocument::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT SimDocument::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  return SimConnectionPoint::Find(host_, document_->sinks, this, Target(), riid, point);
}

}  // namespace sim
