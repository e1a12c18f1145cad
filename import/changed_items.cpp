#include "import/changed_items.h"

namespace importer {

ComPtr<IUnknown> ChangedItems::Identity(IHostModelDoc* model) {
  ComPtr<IUnknown> identity;
  if (model) ComPtr<IHostModelDoc>(model).As(&identity);
  return identity;
}

const std::u16string& ChangedItems::Key(std::u16string_view configuration,
                                        std::u16string_view item) const {
  key_.assign(configuration);
  key_ += u'\0';
  key_ += item;
  return key_;
}

bool ChangedItems::Contains(IHostModelDoc* model, std::u16string_view configuration,
                            std::u16string_view item) const {
  if (models_.empty()) return false;
  ComPtr<IUnknown> identity = Identity(model);
  auto known = models_.find(identity.Get());
  if (known == models_.end()) return false;
  return known->second.items.count(Key(configuration, item)) > 0;
}

void ChangedItems::Add(IHostModelDoc* model, std::u16string_view configuration,
                       std::u16string_view item) {
  ComPtr<IUnknown> identity = Identity(model);
  if (!identity) return;
  IUnknown* key = identity.Get();
  Model& known = models_.try_emplace(key, Model{std::move(identity), {}}).first->second;
  known.items.insert(Key(configuration, item));
}

}  // namespace importer
