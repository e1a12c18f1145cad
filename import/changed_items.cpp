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
  for (const Model& known : models_) {
    if (known.identity == identity) {
      return known.items.count({std::u16string(configuration), std::u16string(item)}) > 0;
    }
  }
  return false;
}

void ChangedItems::Add(IHostModelDoc* model, std::u16string configuration, std::u16string item) {
  ComPtr<IUnknown> identity = Identity(model);
  if (!identity) return;
  for (Model& known : models_) {
    if (known.identity == identity) {
      known.items.emplace(std::move(configuration), std::move(item));
      return;
    }
  }
  models_.push_back(Model{std::move(identity), {{std::move(configuration), std::move(item)}}});
}

}  // namespace importer
