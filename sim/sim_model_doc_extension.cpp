#include "sim/sim_model_doc_extension.h"

#include <algorithm>

#include "sim/published_member.h"
#include "sim/sim_property_manager.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimModelDocExtension::CustomPropertyManager>("CustomPropertyManager", 1),
    PublishMethod<&SimModelDocExtension::GetDependencies>("GetDependencies", 2),
};

// The documents a document uses directly, in the order of first use:
// component files of every configuration, then the models a drawing shows.
std::vector<std::shared_ptr<DocumentState>> DirectDependencies(const DocumentState& document) {
  std::vector<std::shared_ptr<DocumentState>> found;
  auto add = [&found](std::shared_ptr<DocumentState> used) {
    if (used && std::find(found.begin(), found.end(), used) == found.end()) {
      found.push_back(std::move(used));
    }
  };
  for (const ConfigurationModel& configuration : document.model.configurations) {
    for (const ComponentModel& component : configuration.components) {
      add(document.Referenced(component.file));
    }
  }
  for (const std::u16string& reference : document.model.references) {
    add(document.Referenced(reference));
  }
  return found;
}

void CollectDependencies(const DocumentState& document, bool traverse,
                         std::vector<const DocumentState*>& visited,
                         std::vector<const DocumentState*>& listed) {
  visited.push_back(&document);
  for (const auto& used : DirectDependencies(document)) {
    listed.push_back(used.get());
    if (traverse && std::find(visited.begin(), visited.end(), used.get()) == visited.end()) {
      CollectDependencies(*used, traverse, visited, listed);
    }
  }
}

}  // namespace

constinit const PublishedInterface SimModelDocExtension::kPublished{"IModelDocExtension", kMembers};

SimModelDocExtension::SimModelDocExtension(std::shared_ptr<HostState> host,
                                           std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

ComPtr<IDispatch> SimModelDocExtension::CustomPropertyManager(std::u16string_view configuration) {
  if (!configuration.empty() && !FindConfiguration(document_->model, configuration)) {
    return nullptr;
  }
  return MakeComObject<SimPropertyManager, IDispatch>(host_, document_,
                                                      std::u16string(configuration));
}

// The host finds every file where the assembly says it is, and imports
// nothing: the search and the two listing flags change nothing here.
std::vector<std::u16string> SimModelDocExtension::GetDependencies(bool traverse, bool,
                                                                  bool addReadOnlyInfo, bool,
                                                                  bool) {
  std::vector<const DocumentState*> visited;
  std::vector<const DocumentState*> listed;
  CollectDependencies(*document_, traverse, visited, listed);
  std::vector<std::u16string> texts;
  for (const DocumentState* used : listed) {
    texts.push_back(used->FileName());
    texts.push_back(used->PathText());
    // No file is read-only to the host.
    if (addReadOnlyInfo) texts.emplace_back();
  }
  return texts;
}

}  // namespace sim
