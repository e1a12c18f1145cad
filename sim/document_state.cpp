#include "sim/document_state.h"

#include "host/published/published_ids.h"

namespace sim {
namespace {

const IID& EventInterfaceOf(LONG type) {
  switch (type) {
    case kDocTypeAssembly:
      return published::kIidAssemblyDocEvents;
    case kDocTypeDrawing:
      return published::kIidDrawingDocEvents;
    default:
      return published::kIidPartDocEvents;
  }
}

}  // namespace

DocumentState::DocumentState(std::filesystem::path path, ModelData data)
    : model(std::move(data)),
      sinks(std::make_shared<EventSinks>(EventInterfaceOf(model.type))),
      path_(std::move(path)) {
  Index();
}

std::u16string DocumentState::Title() const {
  return model.title.empty() ? FileName() : model.title;
}

std::u16string DocumentState::ActiveConfigurationName() const {
  const ConfigurationModel* active = ActiveConfiguration(model);
  return active ? active->name : std::u16string();
}

void DocumentState::Index() {
  for (FeatureModel& feature : model.features) top_.push_back(FeatureNode{&feature, nullptr});
  if (model.type == kDocTypeAssembly) {
    ConfigurationModel* active = FindConfiguration(model, ActiveConfigurationName());
    if (active) {
      for (ComponentModel& component : active->components) {
        top_.push_back(FeatureNode{nullptr, &component});
      }
    }
  }
  for (size_t i = 0; i < top_.size(); ++i) {
    if (top_[i].feature) IndexSubs(*top_[i].feature);
    chain_.push_back(top_[i]);
    if (i + 1 < top_.size()) nextSub_[top_[i].key()] = top_[i + 1];
  }
  for (size_t i = 0; i + 1 < chain_.size(); ++i) nextInChain_[chain_[i].key()] = chain_[i + 1];
}

// Sub-features marked for the chain go on it before their owner, deepest
// first, as sketches absorbed by a feature stand before it.
void DocumentState::IndexSubs(FeatureModel& feature) {
  std::vector<FeatureModel>& subs = feature.subFeatures;
  for (size_t i = 0; i < subs.size(); ++i) {
    FeatureNode node{&subs[i], nullptr};
    owner_[node.key()] = FeatureNode{&feature, nullptr};
    if (i + 1 < subs.size()) nextSub_[node.key()] = FeatureNode{&subs[i + 1], nullptr};
    IndexSubs(subs[i]);
    if (subs[i].inChain) chain_.push_back(node);
  }
}

namespace {

FeatureNode Lookup(const std::map<const void*, FeatureNode>& map, FeatureNode node) {
  auto it = map.find(node.key());
  return it == map.end() ? FeatureNode{} : it->second;
}

FeatureModel* FindIn(std::vector<FeatureModel>& features, std::u16string_view name) {
  for (FeatureModel& feature : features) {
    if (feature.name == name) return &feature;
    if (FeatureModel* found = FindIn(feature.subFeatures, name)) return found;
  }
  return nullptr;
}

}  // namespace

FeatureNode DocumentState::NextInChain(FeatureNode node) const {
  return Lookup(nextInChain_, node);
}
FeatureNode DocumentState::Owner(FeatureNode node) const { return Lookup(owner_, node); }
FeatureNode DocumentState::NextSub(FeatureNode node) const { return Lookup(nextSub_, node); }

FeatureNode DocumentState::FirstSub(FeatureNode node) const {
  if (!node.feature || node.feature->subFeatures.empty()) return {};
  return FeatureNode{&node.feature->subFeatures.front(), nullptr};
}

FeatureNode DocumentState::FindFeature(std::u16string_view name) const {
  for (const FeatureNode& node : top_) {
    if (node.component && node.component->name == name) return node;
  }
  FeatureModel* found = FindIn(const_cast<ModelData&>(model).features, name);
  return FeatureNode{found, nullptr};
}

std::shared_ptr<DocumentState> DocumentState::Referenced(std::u16string_view file) const {
  for (const auto& [name, document] : referenced_) {
    if (name == file) return document;
  }
  return nullptr;
}

std::vector<std::shared_ptr<DocumentState>> DocumentState::ReferencedDocuments() const {
  std::vector<std::shared_ptr<DocumentState>> documents;
  for (const auto& [name, document] : referenced_) {
    bool seen = false;
    for (const auto& known : documents) seen = seen || known == document;
    if (!seen) documents.push_back(document);
  }
  return documents;
}

void DocumentState::SetReferenced(std::u16string file, std::shared_ptr<DocumentState> document) {
  for (auto& [name, known] : referenced_) {
    if (name == file) {
      known = std::move(document);
      return;
    }
  }
  referenced_.emplace_back(std::move(file), std::move(document));
}

}  // namespace sim
