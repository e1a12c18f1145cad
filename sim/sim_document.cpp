#include "sim/sim_document.h"

#include <algorithm>

#include "host/published/published_ids.h"
#include "platform/text.h"
#include "sim/error_report.h"
#include "sim/model_error.h"
#include "sim/published_member.h"
#include "sim/sim_configuration.h"
#include "sim/sim_configuration_manager.h"
#include "sim/sim_connection_point.h"
#include "sim/sim_equation_manager.h"
#include "sim/sim_feature.h"
#include "sim/sim_model_doc_extension.h"
#include "sim/sim_selection_manager.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimDocument::GetTitle>("GetTitle", 65607),
    PublishMethod<&SimDocument::GetPathName>("GetPathName", 65608),
    PublishMethod<&SimDocument::GetType>("GetType", 65609),
    PublishMethod<&SimDocument::GetNext>("GetNext", 1001),
    PublishMethod<&SimDocument::FirstFeature>("FirstFeature", 1002),
    PublishGet<&SimDocument::SelectionManager>("SelectionManager", 1003),
    PublishMethod<&SimDocument::GetEquationMgr>("GetEquationMgr", 1004),
    PublishMethod<&SimDocument::GetConfigurationCount>("GetConfigurationCount", 1005),
    PublishMethod<&SimDocument::GetConfigurationNames>("GetConfigurationNames", 1006),
    PublishMethod<&SimDocument::GetConfigurationByName>("GetConfigurationByName", 1007),
    PublishGet<&SimDocument::ConfigurationManager>("ConfigurationManager", 1008),
    PublishGet<&SimDocument::Extension>("Extension", 1009),
    PublishMethod<&SimDocument::Save3>("Save3", 1010),
    PublishMethod<&SimDocument::ClearSelection2>("ClearSelection2", 1011),
};

}  // namespace

constinit const PublishedInterface SimDocument::kPublished{"IModelDoc2", kMembers};

SimDocument::SimDocument(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

SimDocument::~SimDocument() { host_->ForgetDocumentObject(document_.get()); }

void* SimDocument::QueryOtherInterface(REFIID riid) {
  return riid == published::kIidModelDoc2 ? static_cast<IDispatch*>(this) : nullptr;
}

LONG SimDocument::GetType() { return document_->type(); }

std::u16string SimDocument::GetPathName() {
  return document_->onDisk ? document_->PathText() : std::u16string();
}

std::u16string SimDocument::GetTitle() { return document_->Title(); }

ComPtr<IDispatch> SimDocument::GetNext() {
  const auto& documents = host_->documents();
  auto it = std::find(documents.begin(), documents.end(), document_);
  if (it == documents.end() || ++it == documents.end()) return nullptr;
  return host_->DocumentObject(*it);
}

ComPtr<IDispatch> SimDocument::FirstFeature() {
  return SimFeature::Make(host_, FeatureRef{document_, document_->FirstFeature(), document_, {}});
}

ComPtr<IDispatch> SimDocument::SelectionManager() {
  return MakeComObject<SimSelectionManager, IDispatch>(host_, document_);
}

ComPtr<IDispatch> SimDocument::GetEquationMgr() {
  return MakeComObject<SimEquationManager, IDispatch>(host_, document_);
}

LONG SimDocument::GetConfigurationCount() {
  return static_cast<LONG>(document_->model.configurations.size());
}

std::vector<std::u16string> SimDocument::GetConfigurationNames() {
  std::vector<std::u16string> names;
  for (const ConfigurationModel& configuration : document_->model.configurations) {
    names.push_back(configuration.name);
  }
  return names;
}

ComPtr<IDispatch> SimDocument::GetConfigurationByName(std::u16string_view name) {
  if (name.empty() || !FindConfiguration(document_->model, name)) return nullptr;
  return MakeComObject<SimConfiguration, IDispatch>(host_, document_, std::u16string(name));
}

ComPtr<IDispatch> SimDocument::ConfigurationManager() {
  return MakeComObject<SimConfigurationManager, IDispatch>(host_, document_);
}

ComPtr<IDispatch> SimDocument::Extension() {
  return MakeComObject<SimModelDocExtension, IDispatch>(host_, document_);
}

// Every save is silent here; the host reports no warnings.
bool SimDocument::Save3(LONG options, LONG* errors, LONG*) {
  try {
    host_->Save(*document_, (options & published::swSaveAsOptions_SaveReferenced) != 0);
    return true;
  } catch (const ModelFileError& failure) {
    PublishHostError(platform::Utf8ToUtf16(failure.what()));
    *errors = published::swGenericSaveError;
    return false;
  }
}

// Nothing is edited in context here, so clearing all of the selection and
// clearing the document's own are the same.
void SimDocument::ClearSelection2(bool) { document_->selection.clear(); }

HRESULT SimDocument::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT SimDocument::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  return SimConnectionPoint::Find(host_, document_->sinks, this, document_->FileName(), riid,
                                  point);
}

}  // namespace sim
