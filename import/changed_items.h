// What the caller's changed rows already wrote to each model during one
// import step.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_set>

#include "host/host_model_doc.h"
#include "platform/com_ptr.h"

namespace importer {

// Whether a row's DADU_flag marks it changed (2) or added (1).
inline bool IsChangedFlag(int flag) { return flag == 1 || flag == 2; }

// The items (configuration name and item name) that changed rows wrote, per
// model document. A model used by several component instances is reached
// once per instance, each instance with rows of its own; an unchanged row
// reaching the model through one instance must not undo what a changed row
// wrote through another, whatever the order of the visits. Models are told
// apart by their COM identity; the set holds a reference on each.
class ChangedItems {
 public:
  bool Contains(IHostModelDoc* model, std::u16string_view configuration,
                std::u16string_view item) const;
  void Add(IHostModelDoc* model, std::u16string_view configuration, std::u16string_view item);

 private:
  struct Model {
    ComPtr<IUnknown> identity;
    // Each item as its configuration name, a NUL and its name.
    std::unordered_set<std::u16string> items;
  };
  static ComPtr<IUnknown> Identity(IHostModelDoc* model);
  // Sets key_ to the item's key in Model::items.
  const std::u16string& Key(std::u16string_view configuration, std::u16string_view item) const;

  // By the identity's address; each entry holds a reference on it, so the
  // address stays that model's while the set lives.
  std::map<IUnknown*, Model> models_;
  mutable std::u16string key_;  // reused from lookup to lookup
};

}  // namespace importer
