// One document loaded into the simulated host: its file, its model, the
// index of its feature tree, the documents its components and views use,
// its selection and its event sinks.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/event_sinks.h"
#include "sim/list_index.h"
#include "sim/model.h"

namespace sim {

// A node of a feature tree: a feature of the model, or the "Reference"
// feature of a top-level component of the active configuration.
struct FeatureNode {
  FeatureModel* feature = nullptr;
  ComponentModel* component = nullptr;
  explicit operator bool() const { return feature || component; }
  const void* key() const {
    return feature ? static_cast<const void*>(feature) : static_cast<const void*>(component);
  }
  bool operator==(const FeatureNode& other) const { return key() == other.key(); }
};

class DocumentState : public std::enable_shared_from_this<DocumentState> {
 public:
  // path: absolute and normal.
  DocumentState(std::filesystem::path path, ModelData model);
  DocumentState(const DocumentState&) = delete;
  DocumentState& operator=(const DocumentState&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::u16string PathText() const { return path_.u16string(); }
  std::u16string FileName() const { return path_.filename().u16string(); }
  // The model's title, or the file name.
  std::u16string Title() const;
  LONG type() const { return model.type; }
  // The active configuration's name.
  std::u16string ActiveConfigurationName() const;

  // The feature tree. First: the first feature of the chain.
  FeatureNode FirstFeature() const { return chain_.empty() ? FeatureNode{} : chain_.front(); }
  FeatureNode NextInChain(FeatureNode node) const;
  FeatureNode Owner(FeatureNode node) const;
  FeatureNode FirstSub(FeatureNode node) const;
  FeatureNode NextSub(FeatureNode node) const;
  const std::vector<FeatureNode>& chain() const { return chain_; }
  // The feature node with that name (chain and sub-features); empty if none.
  FeatureNode FindFeature(std::u16string_view name) const;

  // The document loaded for a component or view file, as written in the
  // model; null when none.
  std::shared_ptr<DocumentState> Referenced(std::u16string_view file) const;
  // Every document this one uses directly, without repeats, in first use
  // order.
  std::vector<std::shared_ptr<DocumentState>> ReferencedDocuments() const;
  void SetReferenced(std::u16string file, std::shared_ptr<DocumentState> document);

  ModelData model;
  bool visible = false;  // opened by the user, not only for a component or view
  // Finds properties and parameters of the model's lists by name.
  ListIndexes listIndexes;
  bool changed = false;  // changed since it was read or saved
  bool onDisk = true;    // false for a new document until it is first saved
  std::shared_ptr<EventSinks> sinks;
  // The outcome of the last call on the document's equations: 0 worked, -1
  // failed.
  LONG equationStatus = 0;

  // One selected feature: the document that holds it (the same document or
  // one it uses), the node, the name path of the components it was reached
  // through ("SubAsm-1/") and the mark it was selected with.
  struct Selected {
    DocumentState* owner;
    FeatureNode node;
    std::u16string prefix;
    LONG mark;
  };
  std::vector<Selected> selection;

 private:
  void Index();
  void IndexSubs(FeatureModel& feature);

  std::filesystem::path path_;
  std::vector<FeatureNode> chain_;
  std::vector<FeatureNode> top_;
  std::map<const void*, FeatureNode> nextInChain_;
  std::map<const void*, FeatureNode> owner_;
  std::map<const void*, FeatureNode> nextSub_;
  std::vector<std::pair<std::u16string, std::shared_ptr<DocumentState>>> referenced_;
};

}  // namespace sim
