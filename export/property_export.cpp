// The table "property": custom properties of the active part, or of every
// loaded model of the active assembly, the assembly included.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/catch_pattern.h"
#include "common/kvx_exception.h"
#include "export/sld_to_db.h"
#include "export/visited_models.h"
#include "hostutil/host_call.h"
#include "hostutil/host_lists.h"
#include "hostutil/model_names.h"

namespace {

constexpr Dovbase::CatchSite kExportPropertySite{u"SldToDb", u"CSldToDb::ExportProperty", 1779};
constexpr Dovbase::CatchSite kGetModelPropertySite{u"SldToDb", u"CSldToDb::getModelProperty", 1888};

using hostutil::HostGet;

struct PropertyRow {
  std::u16string_view configName;
  std::u16string_view compName;
  std::u16string_view realName;
  std::u16string_view name;
  LONG type;
  std::u16string_view value;
};

// A model reached several times (instances, configurations) is written once
// (VisitedModels); a row equal to one already written is skipped as well.
void WritePropertyRow(RowWriter& row, const PropertyRow& property) {
  row.BeginRow();
  row.AddText(u"configName", property.configName);
  row.AddText(u"compName", property.compName);
  row.AddText(u"realName", property.realName);
  row.AddText(u"propertyName", property.name);
  row.AddInteger(u"propertyType", property.type);
  row.AddText(u"propertyValue", property.value);
  row.InsertRowIfAbsent();
}

}  // namespace

bool CSldToDb::ExportProperty() {
  bool modelFailed = false;
  return Dovbase::GuardWorkerOperation(kExportPropertySite, errNumber_, errDescription_, [&] {
    ComPtr<IHostModelDoc> document = ActiveDocument();
    LONG type = HostGet(u"IHostModelDoc::GetType", document, &IHostModelDoc::GetType);
    if (type == kDocTypePart) {
      std::u16string title =
          HostGet(u"IHostModelDoc::GetTitle", document, &IHostModelDoc::GetTitle);
      modelFailed = !getModelProperty(hostutil::TitleBase(title), document);
    } else if (type == kDocTypeAssembly) {
      VisitedModels written;
      // Depth 0 is the root, which stands for the assembly itself.
      auto visit = [&](IHostComponent* component, int depth) -> std::optional<int> {
        LONG state = HostGet(u"IHostComponent::GetSuppressionState", component,
                             &IHostComponent::GetSuppressionState);
        if (!hostutil::IsLoadedState(state)) return std::nullopt;
        ComPtr<IHostModelDoc> model;
        std::u16string compName;
        if (depth == 0) {
          model = document;
          compName = hostutil::TitleBase(
              HostGet(u"IHostModelDoc::GetTitle", document, &IHostModelDoc::GetTitle));
        } else {
          model = hostutil::QueryHost<IHostModelDoc>(
              HostGet(u"IHostComponent::GetModelDoc", component, &IHostComponent::GetModelDoc));
          compName = HostGet(u"IHostComponent::GetName", component, &IHostComponent::GetName);
        }
        // A loaded component without a model has nothing to write; the
        // components below it still have. A model whose rows failed does not
        // stop the walk: the other models' rows are still written, and the
        // export fails below.
        if (model && written.FirstVisit(compName, model.Get()) &&
            !getModelProperty(std::move(compName), std::move(model))) {
          modelFailed = true;
        }
        return depth + 1;
      };
      for (const std::u16string& configName : hostutil::ConfigurationNames(document.Get())) {
        ComPtr<IHostConfiguration> configuration =
            hostutil::ConfigurationByName(document.Get(), configName);
        ComPtr<IHostComponent> root = HostGet(u"IHostConfiguration::GetRootComponent",
                                              configuration, &IHostConfiguration::GetRootComponent);
        if (root) hostutil::WalkComponentTree(root.Get(), 0, visit);
      }
    }
    // Rows of a model are missing: the export must not pass for complete.
    // The error fields hold the last such model's failure.
    return !modelFailed;
  });
}

namespace {

// The properties a manager holds, in one call, written as rows of the
// configuration name.
void WriteManagerProperties(RowWriter& row, IHostCustomPropertyManager* properties,
                            std::u16string_view configName, std::u16string_view compName,
                            std::u16string_view realName) {
  constexpr std::u16string_view kGetAll = u"IHostCustomPropertyManager::GetAll";
  if (!properties) hostutil::ThrowNoObject(kGetAll);
  ScopedSafeArray names;
  ScopedSafeArray types;
  ScopedSafeArray values;
  hostutil::CheckHost(properties->GetAll(names.Receive(), types.Receive(), values.Receive()),
                      kGetAll);
  std::vector<std::u16string> nameTexts = hostutil::ReadTextList(names.Get(), kGetAll);
  std::vector<LONG> typeCodes = hostutil::ReadLongList(types.Get(), kGetAll);
  std::vector<std::u16string> valueTexts = hostutil::ReadTextList(values.Get(), kGetAll);
  if (typeCodes.size() != nameTexts.size() || valueTexts.size() != nameTexts.size()) {
    throw Dovbase::Kvx_Exception(std::u16string(kGetAll) +
                                 u": names, types and values differ in number");
  }
  for (size_t i = 0; i < nameTexts.size(); ++i) {
    WritePropertyRow(row,
                     {configName, compName, realName, nameTexts[i], typeCodes[i], valueTexts[i]});
  }
}

}  // namespace

bool CSldToDb::getModelProperty(std::u16string compName, ComPtr<IHostModelDoc> model) {
  return Dovbase::GuardWorkerOperation(kGetModelPropertySite, errNumber_, errDescription_, [&] {
    const std::u16string realName = hostutil::RealName(compName);

    // Each manager's properties are read in one call.
    for (const std::u16string& configName : hostutil::ConfigurationNames(model.Get())) {
      ComPtr<IHostConfiguration> configuration =
          hostutil::ConfigurationByName(model.Get(), configName);
      ComPtr<IHostCustomPropertyManager> properties =
          HostGet(u"IHostConfiguration::GetCustomPropertyManager", configuration,
                  &IHostConfiguration::GetCustomPropertyManager);
      WriteManagerProperties(row_, properties.Get(), configName, compName, realName);
    }

    // The document's own properties, under the empty configuration name:
    // those of the configuration that stands for the document as a whole.
    ComPtr<IHostConfigurationManager> access = HostGet(
        u"IHostModelDoc::GetConfigurationManager", model, &IHostModelDoc::GetConfigurationManager);
    ComPtr<IHostConfiguration> document =
        HostGet(u"IHostConfigurationManager::GetDocumentConfiguration", access,
                &IHostConfigurationManager::GetDocumentConfiguration);
    ComPtr<IHostCustomPropertyManager> properties =
        HostGet(u"IHostConfiguration::GetCustomPropertyManager", document,
                &IHostConfiguration::GetCustomPropertyManager);
    WriteManagerProperties(row_, properties.Get(), u"", compName, realName);
    return true;
  });
}
