// The table "Parameter": configuration parameters of the active part or
// drawing, or of every loaded model of the active assembly.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/catch_pattern.h"
#include "common/kvx_exception.h"
#include "common/messages.h"
#include "export/sld_to_db.h"
#include "export/visited_models.h"
#include "hostutil/host_call.h"
#include "hostutil/host_lists.h"

namespace {

constexpr Dovbase::CatchSite kExportParameterSite{u"SldToDb", u"CSldToDb::ExportParameter", 1131};
constexpr Dovbase::CatchSite kExportAsmParameterSite{u"SldToDb", u"CSldToDb::ExportAsmParameter",
                                                     1290};

using hostutil::HostGet;

enum class RowMode { kEvery, kOnce };

// Writes one row per parameter and configuration of the document, under the
// name compName, in the host's order; kOnce skips rows already written.
void WriteDocumentParameters(RowWriter& row, IHostModelDoc* document, std::u16string_view compName,
                             RowMode mode) {
  ComPtr<IHostConfigurationManager> manager = HostGet(
      u"IHostModelDoc::GetConfigurationManager", document, &IHostModelDoc::GetConfigurationManager);
  for (const std::u16string& configName : hostutil::ConfigurationNames(document)) {
    ScopedBstr bsConfigName(configName);
    LONG count = HostGet(u"IHostConfigurationManager::GetParameterCount", manager,
                         &IHostConfigurationManager::GetParameterCount, bsConfigName.Get());
    if (count <= 0) continue;
    constexpr std::u16string_view kGetParameters = u"IHostConfigurationManager::GetParameters";
    ScopedSafeArray names;
    ScopedSafeArray values;
    hostutil::CheckHost(
        manager->GetParameters(bsConfigName.Get(), names.Receive(), values.Receive()),
        kGetParameters);
    std::vector<std::u16string> nameTexts = hostutil::ReadTextList(names.Get(), kGetParameters);
    std::vector<std::u16string> valueTexts = hostutil::ReadTextList(values.Get(), kGetParameters);
    if (valueTexts.size() != nameTexts.size()) {
      throw Dovbase::Kvx_Exception(std::u16string(kGetParameters) +
                                   u": names and values differ in number");
    }
    for (size_t i = 0; i < nameTexts.size(); ++i) {
      row.BeginRow();
      row.AddText(u"configName", configName);
      row.AddText(u"compName", compName);
      row.AddText(u"paramName", nameTexts[i]);
      row.AddText(u"paramValue", valueTexts[i]);
      mode == RowMode::kOnce ? row.InsertRowIfAbsent() : row.InsertRow();
    }
  }
}

struct NoContext {};

}  // namespace

bool CSldToDb::ExportParameter() {
  return Dovbase::GuardWorkerOperation(kExportParameterSite, errNumber_, errDescription_, [&] {
    ComPtr<IHostModelDoc> document = ActiveDocument();
    std::u16string title = HostGet(u"IHostModelDoc::GetTitle", document, &IHostModelDoc::GetTitle);
    WriteDocumentParameters(row_, document.Get(), title, RowMode::kEvery);
    return true;
  });
}

bool CSldToDb::ExportAsmParameter() {
  return Dovbase::GuardWorkerOperation(kExportAsmParameterSite, errNumber_, errDescription_, [&] {
    ComPtr<IHostModelDoc> document = ActiveDocument();
    if (HostGet(u"IHostModelDoc::GetType", document, &IHostModelDoc::GetType) != kDocTypeAssembly) {
      return Fail(u"CSldToDb::ExportAsmParameter", Dovbase::IDS_NOT_ASSEMBLY);
    }
    // A model reached through several instances or configurations gives the
    // same rows again; they are written once.
    VisitedModels written;
    auto visit = [&](IHostComponent* component, NoContext) -> std::optional<NoContext> {
      std::u16string name =
          HostGet(u"IHostComponent::GetName", component, &IHostComponent::GetName);
      LONG state = HostGet(u"IHostComponent::GetSuppressionState", component,
                           &IHostComponent::GetSuppressionState);
      if (!hostutil::IsLoadedState(state)) return std::nullopt;
      ComPtr<IDispatch> model =
          HostGet(u"IHostComponent::GetModelDoc", component, &IHostComponent::GetModelDoc);
      ComPtr<IHostModelDoc> modelDocument = hostutil::QueryHost<IHostModelDoc>(model);
      if (modelDocument && written.FirstVisit(name, modelDocument.Get())) {
        WriteDocumentParameters(row_, modelDocument.Get(), name, RowMode::kOnce);
      }
      return NoContext{};
    };
    for (const std::u16string& configName : hostutil::ConfigurationNames(document.Get())) {
      ComPtr<IHostConfiguration> configuration =
          hostutil::ConfigurationByName(document.Get(), configName);
      ComPtr<IHostComponent> root =
          HostGet(u"IHostConfiguration::GetRootComponent2", configuration,
                  &IHostConfiguration::GetRootComponent2, kRootComponentResolve);
      if (root) hostutil::WalkComponentTree(root.Get(), NoContext{}, visit);
    }
    return true;
  });
}
