// The property step: every row of the table property that is not flagged
// deleted (3), written as a text property (type 30) to the model the row's
// compName names: the active document itself and, for an assembly, the
// model of every loaded component at any depth. Nothing is ever deleted.
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "common/log.h"
#include "hostutil/host_call.h"
#include "hostutil/host_lists.h"
#include "hostutil/model_names.h"
#include "import/changed_items.h"
#include "import/db_to_sld.h"
#include "import/host_access.h"
#include "platform/format.h"

namespace importer {

// The selected rows as five parallel lists, in the result's order.
struct PropertyRows {
  std::vector<std::u16string> compName;
  std::vector<std::u16string> configName;
  std::vector<std::u16string> propertyName;
  std::vector<int> propertyType;  // read, not used: every property is written as text
  std::vector<std::u16string> propertyValue;
  // DADU_flag, read for assemblies only (a part's rows all belong to it).
  std::vector<int> flag;
  // The rows of each compName, in the rows' order.
  std::unordered_map<std::u16string, std::vector<size_t>> byName;

  bool Changed(size_t row) const { return !flag.empty() && IsChangedFlag(flag[row]); }
};

// The state of one property step across the models it visits.
struct PropertyWalk {
  ChangedItems changed;
  // With the log on, every visit compares every row with the model's name
  // and logs the comparison, and a model reached again (in the next
  // configuration of the assembly) is written again. Without it nobody sees
  // those lines, so a visit takes just the rows of its name, and a model
  // name already written is not written again: the host would only be given
  // the same values a second time.
  bool logging = false;
  std::set<std::u16string> written;
};

// The properties one property manager holds, read once (GetAll) and then
// kept up to date with the writes of the step, so that a row whose value the
// model holds already is not written: the write would change nothing, yet
// mark the model changed and have it saved for nothing.
class HeldProperties {
 public:
  // Reads the manager's properties on the first use. Raises when the host
  // fails.
  void Load(IHostCustomPropertyManager* manager) {
    if (loaded_) return;
    ScopedSafeArray names;
    ScopedSafeArray types;
    ScopedSafeArray values;
    hostutil::CheckHost(manager->GetAll(names.Receive(), types.Receive(), values.Receive()),
                        u"IHostCustomPropertyManager::GetAll");
    std::vector<std::u16string> nameList = TextElements(names.Get());
    std::vector<std::u16string> valueList = TextElements(values.Get());
    held_.reserve(nameList.size());
    for (size_t i = 0; i < nameList.size() && i < valueList.size(); ++i) {
      held_[std::move(nameList[i])] = std::move(valueList[i]);
    }
    loaded_ = true;
  }
  // Whether the property is there with that value.
  bool Holds(const std::u16string& name, const std::u16string& value) const {
    auto found = held_.find(name);
    return found != held_.end() && found->second && *found->second == value;
  }
  // After a write: the property holds value when the host took it, else
  // what it holds is not known (and the next row of it is written).
  void Wrote(const std::u16string& name, const std::u16string& value, bool taken) {
    held_[name] = taken ? std::optional<std::u16string>(value) : std::nullopt;
  }

 private:
  bool loaded_ = false;
  std::unordered_map<std::u16string, std::optional<std::u16string>> held_;
};

}  // namespace importer

namespace {

constexpr Dovbase::CatchSite kUpdatePropertySite{u"DbToSld", u"CDbToSld::UpdateProperty", 1383};
constexpr Dovbase::CatchSite kUpdatePropertyModalSite{u"DbToSld", u"CDbToSld::UpdateProperty_modal",
                                                      1532};

// The type code every imported property is written with.
constexpr LONG kWrittenType = kPropertyTypeText;

// -1, 0 or 1, comparing code unit by code unit.
int Compare(const std::u16string& a, const std::u16string& b) {
  int result = a.compare(b);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

ComPtr<IHostCustomPropertyManager> PropertyManager(IHostConfiguration* configuration) {
  ComPtr<IHostCustomPropertyManager> manager;
  HRESULT hr = configuration->GetCustomPropertyManager(manager.ReleaseAndGetAddressOf());
  importer::RequireHostObject(hr, static_cast<bool>(manager),
                              u"IHostConfiguration::GetCustomPropertyManager");
  return manager;
}

// The property manager of the document as a whole: the one of the
// configuration that the configuration-parameter access hands out without a
// name.
ComPtr<IHostCustomPropertyManager> DocumentPropertyManager(IHostModelDoc* model) {
  ComPtr<IHostConfigurationManager> access;
  HRESULT hr = model->GetConfigurationManager(access.ReleaseAndGetAddressOf());
  importer::RequireHostObject(hr, static_cast<bool>(access),
                              u"IHostModelDoc::GetConfigurationManager");
  ComPtr<IHostConfiguration> configuration;
  hr = access->GetDocumentConfiguration(configuration.ReleaseAndGetAddressOf());
  importer::RequireHostObject(hr, static_cast<bool>(configuration),
                              u"IHostConfigurationManager::GetDocumentConfiguration");
  return PropertyManager(configuration.Get());
}

// The property manager of the rows' configuration, kept while the rows name
// the same one: they come sorted by configuration name.
class ManagerOfRows {
 public:
  explicit ManagerOfRows(IHostModelDoc* model) : model_(model) {}

  // Asks the host for the configuration unless the previous row named the
  // same. An empty name stands for the document as a whole. The manager is
  // null when the host did not give the configuration; hr is the status of
  // its answer.
  const ComPtr<IHostCustomPropertyManager>& For(const std::u16string& configName, HRESULT& hr) {
    if (!known_ || configName != configName_) {
      known_ = false;
      manager_ = nullptr;
      held_ = importer::HeldProperties();
      hr_ = S_OK;
      if (configName.empty()) {
        manager_ = DocumentPropertyManager(model_);
      } else {
        ScopedBstr name(configName);
        ComPtr<IHostConfiguration> configuration;
        hr_ = model_->GetConfiguration(name.Get(), configuration.ReleaseAndGetAddressOf());
        if (SUCCEEDED(hr_) && configuration) manager_ = PropertyManager(configuration.Get());
      }
      configName_ = configName;
      known_ = true;
    }
    hr = hr_;
    return manager_;
  }
  // What the manager of the last For holds, read on the first use.
  importer::HeldProperties& Held() {
    held_.Load(manager_.Get());
    return held_;
  }

 private:
  IHostModelDoc* model_;
  bool known_ = false;
  std::u16string configName_;
  HRESULT hr_ = S_OK;
  ComPtr<IHostCustomPropertyManager> manager_;
  importer::HeldProperties held_;
};

}  // namespace

bool CDbToSld::UpdateProperty() {
  return Dovbase::GuardWorkerOperation(kUpdatePropertySite, errNumber_, errDescription_, [&] {
    Dovbase::InstallErrorHandlers();
    const bool assembly = docType_ == kDocTypeAssembly;
    if (assembly) {
      SetQuery(kAssemblyPropertyColumns, {});
    } else {
      SetQuery(kPropertyColumns, {});
    }
    if (!RunListStatement(u"CDbToSld::UpdateProperty():")) return false;
    if (query_.atEnd()) return true;

    PropertyRows rows;
    const int compName = query_.columnIndex(u"compName");
    const int configName = query_.columnIndex(u"configName");
    const int propertyName = query_.columnIndex(u"propertyName");
    const int propertyType = query_.columnIndex(u"propertyType");
    const int propertyValue = query_.columnIndex(u"propertyValue");
    const int flag = assembly ? query_.columnIndex(u"DADU_flag") : -1;
    for (; !query_.atEnd(); query_.next()) {
      rows.compName.push_back(query_.textAt(compName));
      rows.configName.push_back(query_.textAt(configName));
      rows.propertyName.push_back(query_.textAt(propertyName));
      rows.propertyType.push_back(query_.intAt(propertyType));
      rows.propertyValue.push_back(query_.textAt(propertyValue));
      if (assembly) rows.flag.push_back(query_.intAt(flag));
    }
    for (size_t i = 0; i < rows.compName.size(); ++i) rows.byName[rows.compName[i]].push_back(i);

    ComPtr<IHostModelDoc> document = RequiredActiveDocument();
    const LONG type =
        hostutil::HostGet(u"IHostModelDoc::GetType", document, &IHostModelDoc::GetType);

    // A model whose rows could not be written leaves its error recorded; the
    // walk still visits the other models, and the step then fails with it.
    bool allWritten = true;
    importer::PropertyWalk walk;
    walk.logging = Dovbase::LogEnabled();
    if (type == kDocTypePart) {
      allWritten = UpdateProperty_modal(document, u"", rows, walk);
    } else if (type == kDocTypeAssembly) {
      for (const std::u16string& name : hostutil::ConfigurationNames(document.Get())) {
        ScopedBstr configurationName(name);
        ComPtr<IHostConfiguration> configuration;
        HRESULT hr = document->GetConfiguration(configurationName.Get(),
                                                configuration.ReleaseAndGetAddressOf());
        importer::RequireHostObject(hr, static_cast<bool>(configuration),
                                    u"IHostModelDoc::GetConfiguration");
        ComPtr<IHostComponent> root;
        hr = configuration->GetRootComponent(root.ReleaseAndGetAddressOf());
        importer::RequireHostObject(hr, static_cast<bool>(root),
                                    u"IHostConfiguration::GetRootComponent");
        if (!UpdateProperty_modal(document, u"", rows, walk)) allWritten = false;
        UpdateComponentProperty(0, root, rows, walk, allWritten);
      }
    }
    return allWritten;
  });
}

void CDbToSld::UpdateComponentProperty(int depth, const ComPtr<IHostComponent>& component,
                                       const PropertyRows& rows, importer::PropertyWalk& walk,
                                       bool& allWritten) {
  const LONG state = hostutil::HostGet(u"IHostComponent::GetSuppressionState", component,
                                       &IHostComponent::GetSuppressionState);
  if (state != kComponentFullyResolved && state != kComponentResolved) return;

  // The root stands for the assembly, whose rows its caller writes.
  if (depth > 0) {
    ComPtr<IHostModelDoc> model = importer::ComponentModelDocument(component.Get());
    std::u16string name =
        hostutil::HostGet(u"IHostComponent::GetName", component, &IHostComponent::GetName);
    if (!UpdateProperty_modal(model, name, rows, walk)) allWritten = false;
  }

  for (const ComPtr<IHostComponent>& child : hostutil::ComponentChildren(component.Get())) {
    UpdateComponentProperty(depth + 1, child, rows, walk, allWritten);
  }
}

bool CDbToSld::UpdateProperty_modal(const ComPtr<IHostModelDoc>& model,
                                    const std::u16string& modelName, const PropertyRows& rows,
                                    importer::PropertyWalk& walk) {
  Dovbase::WriteLogFormat(u"UpdateProperty_modal in, name=%s", modelName);
  return Dovbase::GuardWorkerOperation(kUpdatePropertyModalSite, errNumber_, errDescription_, [&] {
    Dovbase::InstallErrorHandlers();
    if (!model) {
      // Only a model that rows are meant for is missed.
      if (rows.byName.count(modelName) == 0) return true;
      throw Dovbase::Kvx_Exception(platform::FormatWide(
          platform::kUnlimited, u"the model of component [%s] is not loaded", modelName));
    }
    std::u16string name = modelName;
    if (name.empty()) {
      name = hostutil::HostGet(u"IHostModelDoc::GetTitle", model, &IHostModelDoc::GetTitle);
      Dovbase::WriteLogFormat(u"name1=%s", name);
      name = hostutil::TitleBase(name);
      Dovbase::WriteLogFormat(u"name2=%s", name);
    }

    ManagerOfRows managers(model.Get());
    std::vector<std::u16string> configurations;  // asked for when a configuration is missed
    auto write = [&](size_t i) {
      if (!rows.Changed(i) &&
          walk.changed.Contains(model.Get(), rows.configName[i], rows.propertyName[i])) {
        // Another instance of this model carried the caller's change.
        if (walk.logging) {
          Dovbase::WriteLogFormat(u"skip %s, changed through another instance",
                                  rows.propertyName[i]);
        }
        return;
      }
      if (rows.Changed(i)) walk.changed.Add(model.Get(), rows.configName[i], rows.propertyName[i]);
      HRESULT hr = S_OK;
      const ComPtr<IHostCustomPropertyManager>& manager = managers.For(rows.configName[i], hr);
      if (manager) {
        WriteProperty(manager.Get(), managers.Held(), name, rows, i, walk.logging);
        return;
      }
      if (walk.logging) Dovbase::WriteLogFormat(u"hr!=S_OK, hr=%x", hr);
      // Rows of a configuration the model does not have are skipped. The
      // host's failure to hand out one it has is an error: the row would
      // be lost while the import passed for complete.
      if (configurations.empty()) configurations = hostutil::ConfigurationNames(model.Get());
      if (std::find(configurations.begin(), configurations.end(), rows.configName[i]) !=
          configurations.end()) {
        importer::RequireHostObject(hr, false, u"IHostModelDoc::GetConfiguration");
      }
    };

    if (walk.logging) {
      for (size_t i = 0; i < rows.compName.size(); ++i) {
        const int compare = Compare(name, rows.compName[i]);
        Dovbase::WriteLogFormat(u"name=%s, sCompName=%s, comare=%i", name, rows.compName[i],
                                compare);
        if (compare == 0) write(i);
      }
    } else if (walk.written.insert(name).second) {
      auto named = rows.byName.find(name);
      if (named != rows.byName.end()) {
        for (size_t i : named->second) write(i);
      }
    }
    return true;
  });
}

void CDbToSld::WriteProperty(IHostCustomPropertyManager* manager, importer::HeldProperties& held,
                             const std::u16string& modelName, const PropertyRows& rows, size_t row,
                             bool logging) {
  const std::u16string& name = rows.propertyName[row];
  const std::u16string& value = rows.propertyValue[row];
  if (held.Holds(name, value)) {
    if (logging) Dovbase::WriteLogFormat(u"%s unchanged, not written", name);
    return;
  }
  ScopedBstr propertyName(name);
  ScopedBstr propertyValue(value);
  LONG added = kAddPropertyNotAdded;
  LONG set = kSetPropertyMissing;
  if (!rows.configName[row].empty()) {
    // A configuration's property: added when absent, then set. Their result
    // codes are the host's answers (present, added, ...); a failing status
    // is a refusal, which the import reports.
    HRESULT addedHr = manager->Add2(propertyName.Get(), kWrittenType, propertyValue.Get(), &added);
    refused_.Check(addedHr, u"IHostCustomPropertyManager::Add2", name);
    HRESULT setHr = manager->Set2(propertyName.Get(), propertyValue.Get(), &set);
    refused_.Check(setHr, u"IHostCustomPropertyManager::Set2", name);
    held.Wrote(name, value,
               (SUCCEEDED(addedHr) && added == kAddPropertyAdded) ||
                   (SUCCEEDED(setHr) && set == kSetPropertyDone));
    if (logging) {
      Dovbase::WriteLogFormat(u"compName=%s, bsConfigName=%s", modelName, rows.configName[row]);
    }
    return;
  }
  // A property of the document as a whole: set when present, then added.
  if (logging) {
    Dovbase::WriteLogFormat(u"bsPropertyName=%s,bsPropertyValue=%s", name, value);
  }
  HRESULT setHr = manager->Set2(propertyName.Get(), propertyValue.Get(), &set);
  if (logging) Dovbase::WriteLogFormat(u"Set2,hr=%i,ret=%ld", setHr, set);
  refused_.Check(setHr, u"IHostCustomPropertyManager::Set2", name);
  HRESULT addedHr = manager->Add2(propertyName.Get(), kWrittenType, propertyValue.Get(), &added);
  if (logging) Dovbase::WriteLogFormat(u"Add2,hr=%i,ret=%ld", addedHr, added);
  refused_.Check(addedHr, u"IHostCustomPropertyManager::Add2", name);
  held.Wrote(name, value,
             (SUCCEEDED(addedHr) && added == kAddPropertyAdded) ||
                 (SUCCEEDED(setHr) && set == kSetPropertyDone));
}
