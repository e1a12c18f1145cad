#include "import/changed_items.h"

namespace importer {

ComPtr<IUnknown> ChangedItems::Identity(IHostModelDoc* model) {
  ComPtr<IUnknown> identity;
  if (model) ComPtr<IHostModelDoc>(model).As(&identity);
  return identity;
}

bool ChangedItems::Contains(IHostModelDoc* model, std::u16string_view configuration,
                            std::u16string_view item) const {
  ComPtr<IUnknown> identity = Identity(model);
  auto known = models_.find(identity.Get());
  if (known == models_.end()) return false;
  return known->second.items.count({std::u16string(configuration), std::u16string(item)}) > 0;
}

void ChangedItems::Add(IHostModelDoc* model, std::u16string configuration, std::u16string item) {
  ComPtr<IUnknown> identity = Identity(model);
  if (!identity) return;
  IUnknown* key = identity.Get();
  Model& known = models_.try_emplace(key, Model{std::move(identity), {}}).first->second;
  known.items.emplace(std::move(configuration), std::move(item));
}

}  // namespace importer
