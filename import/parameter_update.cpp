// The parameter step: every row of the table Parameter that is not flagged
// deleted (3), handed to the host one configuration at a time, each
// configuration's parameters in one call.
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "hostutil/host_call.h"
#include "hostutil/host_lists.h"
#include "import/changed_items.h"
#include "import/db_to_sld.h"
#include "import/host_access.h"
#include "platform/format.h"

namespace {

constexpr Dovbase::CatchSite kUpdateParameterSite{u"DbToSld", u"CDbToSld::UpdateParameter", 1064};

// The selected rows as parallel lists, in the result's order (sorted by
// configuration name). compName and the flag are read for assemblies only.
struct ParameterRows {
  std::vector<std::u16string> configName;
  std::vector<std::u16string> paramName;
  std::vector<std::u16string> paramValue;
  std::vector<std::u16string> compName;
  std::vector<int> flag;
};

// The parameters a configuration holds now, by name; nullopt when the model
// has no such configuration (handing it rows creates it). Raises when the
// host fails otherwise.
std::optional<std::unordered_map<std::u16string, std::u16string>> CurrentParameters(
    IHostConfigurationManager* manager, const std::u16string& configuration) {
  ScopedBstr name(configuration);
  ScopedSafeArray names;
  ScopedSafeArray values;
  HRESULT hr = manager->GetParameters(name.Get(), names.Receive(), values.Receive());
  if (hr == E_INVALIDARG) return std::nullopt;
  hostutil::CheckHost(hr, u"IHostConfigurationManager::GetParameters");
  std::vector<std::u16string> nameList = importer::TextElements(names.Get());
  std::vector<std::u16string> valueList = importer::TextElements(values.Get());
  std::unordered_map<std::u16string, std::u16string> current;
  current.reserve(nameList.size());
  for (size_t i = 0; i < nameList.size() && i < valueList.size(); ++i) {
    current[std::move(nameList[i])] = std::move(valueList[i]);
  }
  return current;
}

// Of the rows [begin, end) of picked, one configuration's, those the host is
// handed: every row of a parameter whose last row's value the model does not
// hold yet. The rest would change nothing, and a model written with the
// values it has is marked changed and saved for nothing. The order stays.
std::vector<size_t> DifferingRows(IHostConfigurationManager* manager, const ParameterRows& rows,
                                  const std::vector<size_t>& picked, size_t begin, size_t end) {
  std::vector<size_t> group(picked.begin() + static_cast<long>(begin),
                            picked.begin() + static_cast<long>(end));
  auto current = CurrentParameters(manager, rows.configName[group.front()]);
  if (!current) return group;
  // The value a parameter ends with is its last row's.
  std::unordered_map<std::u16string_view, const std::u16string*> last;
  for (size_t i : group) last[rows.paramName[i]] = &rows.paramValue[i];
  std::vector<size_t> differing;
  for (size_t i : group) {
    auto held = current->find(rows.paramName[i]);
    if (held == current->end() || held->second != *last[rows.paramName[i]]) differing.push_back(i);
  }
  return differing;
}

// Hands the picked rows (indices in result order) to the configuration
// manager: one call per configuration name, with that configuration's rows
// whose values differ from the model's, in their order. Sorted rows keep
// each configuration's rows together. A configuration whose parameters the
// host refused is recorded in refused.
void SetParameterGroups(IHostConfigurationManager* manager, const ParameterRows& rows,
                        const std::vector<size_t>& picked, importer::RefusedWrites& refused) {
  size_t begin = 0;
  for (size_t end = 1; end <= picked.size(); ++end) {
    const std::u16string& group = rows.configName[picked[begin]];
    if (end < picked.size() && rows.configName[picked[end]] == group) continue;
    std::vector<std::u16string> names;
    std::vector<std::u16string> values;
    for (size_t i : DifferingRows(manager, rows, picked, begin, end)) {
      names.push_back(rows.paramName[i]);
      values.push_back(rows.paramValue[i]);
    }
    if (names.empty()) {
      begin = end;
      continue;
    }
    ScopedBstr configuration(group);
    ScopedSafeArray nameArray = importer::MakeTextArray(names);
    ScopedSafeArray valueArray = importer::MakeTextArray(values);
    VARIANT_BOOL done = VARIANT_FALSE;
    refused.Check(manager->SetParameters(configuration.Get(), static_cast<LONG>(names.size()),
                                         nameArray.Get(), valueArray.Get(), &done),
                  u"IHostConfigurationManager::SetParameters", group);
    begin = end;
  }
}

ComPtr<IHostConfigurationManager> ConfigurationManager(IHostModelDoc* document) {
  ComPtr<IHostConfigurationManager> manager;
  HRESULT hr = document->GetConfigurationManager(manager.ReleaseAndGetAddressOf());
  importer::RequireHostObject(hr, static_cast<bool>(manager),
                              u"IHostModelDoc::GetConfigurationManager");
  return manager;
}

// The state of the walk below an assembly: the names already handled and
// the parameters that changed rows set, per model.
struct AssemblyWalk {
  const ParameterRows& rows;
  importer::RefusedWrites& refused;
  std::set<std::u16string> visited;
  importer::ChangedItems changed;
  // The rows of each component name, in the rows' order.
  std::unordered_map<std::u16string, std::vector<size_t>> byName;
};

// Hands a model the rows that carry the component's name. An unchanged row
// is left out when a changed row of another instance of the same model
// already set that parameter.
void SetComponentParameters(IHostComponent* component, const std::u16string& name,
                            AssemblyWalk& walk) {
  const ParameterRows& rows = walk.rows;
  auto found = walk.byName.find(name);
  if (found == walk.byName.end()) return;
  const std::vector<size_t>& named = found->second;
  ComPtr<IHostModelDoc> model = importer::ComponentModelDocument(component);
  if (!model) {
    throw Dovbase::Kvx_Exception(platform::FormatWide(
        platform::kUnlimited, u"the model of component [%s] is not loaded", name));
  }
  std::vector<size_t> picked;
  for (size_t i : named) {
    if (!importer::IsChangedFlag(rows.flag[i]) &&
        walk.changed.Contains(model.Get(), rows.configName[i], rows.paramName[i])) {
      continue;
    }
    picked.push_back(i);
  }
  if (picked.empty()) return;
  SetParameterGroups(ConfigurationManager(model.Get()).Get(), rows, picked, walk.refused);
  for (size_t i : picked) {
    if (importer::IsChangedFlag(rows.flag[i])) {
      walk.changed.Add(model.Get(), rows.configName[i], rows.paramName[i]);
    }
  }
}

// The walk below an assembly's root: each loaded component hands its model
// the rows that carry its name, once per name; a component that is not
// loaded (state other than 2 or 3) is passed over with everything below it.
void UpdateComponentParameters(IHostComponent* component, AssemblyWalk& walk) {
  std::u16string name =
      hostutil::HostGet(u"IHostComponent::GetName", component, &IHostComponent::GetName);
  LONG state = hostutil::HostGet(u"IHostComponent::GetSuppressionState", component,
                                 &IHostComponent::GetSuppressionState);
  if (state != kComponentFullyResolved && state != kComponentResolved) return;

  if (walk.visited.insert(name).second) SetComponentParameters(component, name, walk);
  for (const ComPtr<IHostComponent>& child : hostutil::ComponentChildren(component)) {
    UpdateComponentParameters(child.Get(), walk);
  }
}

// An assembly's rows come from the models of its components (the assembly's
// own from the root component, whose name is empty), so each goes back to
// the model it came from rather than to the assembly.
void UpdateAssemblyParameters(IHostModelDoc* assembly, const ParameterRows& rows,
                              importer::RefusedWrites& refused) {
  AssemblyWalk walk{rows, refused, {}, {}, {}};
  for (size_t i = 0; i < rows.compName.size(); ++i) walk.byName[rows.compName[i]].push_back(i);
  for (const std::u16string& name : hostutil::ConfigurationNames(assembly)) {
    ScopedBstr configurationName(name);
    ComPtr<IHostConfiguration> configuration;
    HRESULT hr =
        assembly->GetConfiguration(configurationName.Get(), configuration.ReleaseAndGetAddressOf());
    importer::RequireHostObject(hr, static_cast<bool>(configuration),
                                u"IHostModelDoc::GetConfiguration");
    ComPtr<IHostComponent> root;
    hr = configuration->GetRootComponent2(kRootComponentResolve, root.ReleaseAndGetAddressOf());
    importer::RequireHostObject(hr, static_cast<bool>(root),
                                u"IHostConfiguration::GetRootComponent2");
    UpdateComponentParameters(root.Get(), walk);
  }
}

}  // namespace

bool CDbToSld::UpdateParameter() {
  return Dovbase::GuardWorkerOperation(kUpdateParameterSite, errNumber_, errDescription_, [&] {
    Dovbase::InstallErrorHandlers();
    const bool assembly = docType_ == kDocTypeAssembly;
    if (assembly) {
      SetQuery(kAssemblyParameterColumns, {});
    } else {
      SetQuery(kParameterColumns, {});
    }
    if (!RunListStatement(u"CDbToSld::UpdateParameter():")) return false;
    if (query_.atEnd()) return true;

    ComPtr<IHostModelDoc> document = RequiredActiveDocument();
    ComPtr<IHostConfigurationManager> manager;
    if (!assembly) manager = ConfigurationManager(document.Get());

    ParameterRows rows;
    const int configName = query_.columnIndex(u"configName");
    const int paramName = query_.columnIndex(u"paramName");
    const int paramValue = query_.columnIndex(u"paramValue");
    const int compName = assembly ? query_.columnIndex(u"compName") : -1;
    const int flag = assembly ? query_.columnIndex(u"DADU_flag") : -1;
    for (; !query_.atEnd(); query_.next()) {
      rows.configName.push_back(query_.textAt(configName));
      rows.paramName.push_back(query_.textAt(paramName));
      rows.paramValue.push_back(query_.textAt(paramValue));
      if (assembly) {
        rows.compName.push_back(query_.textAt(compName));
        rows.flag.push_back(query_.intAt(flag));
      }
    }

    if (assembly) {
      UpdateAssemblyParameters(document.Get(), rows, refused_);
    } else {
      std::vector<size_t> all(rows.configName.size());
      std::iota(all.begin(), all.end(), size_t{0});
      SetParameterGroups(manager.Get(), rows, all, refused_);
    }
    return true;
  });
}
