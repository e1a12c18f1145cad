#include "sim/sim_display_dimension.h"

#include <string>

#include "sim/published_member.h"
#include "sim/sim_dimension.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimDisplayDimension::Type2>("Type2", 1),
    PublishMethod<&SimDisplayDimension::GetDimension2>("GetDimension2", 2),
};

}  // namespace

constinit const PublishedInterface SimDisplayDimension::kPublished{"IDisplayDimension", kMembers};

SimDisplayDimension::SimDisplayDimension(std::shared_ptr<HostState> host,
                                         std::shared_ptr<DocumentState> owner,
                                         const FeatureModel* feature, size_t index)
    : SimDispatchObject(std::move(host)),
      owner_(std::move(owner)),
      feature_(feature),
      index_(index) {}

std::u16string SimDisplayDimension::JournalTarget() const {
  std::u16string text = owner_->FileName() + u":" + feature_->name + u"#";
  for (char c : std::to_string(index_)) text.push_back(static_cast<char16_t>(c));
  return text;
}

LONG SimDisplayDimension::Type2() { return Model().type; }

ComPtr<IDispatch> SimDisplayDimension::GetDimension2(LONG index) {
  const DisplayDimensionModel& model = Model();
  size_t which = 0;
  if (model.type == kDisplayDimensionChamfer) {
    if (index < 0 || static_cast<size_t>(index) >= model.dimensions.size()) return nullptr;
    which = static_cast<size_t>(index);
  }
  DimensionModel* found =
      owner_->listIndexes.Find(owner_->model.dimensions, model.dimensions[which]);
  if (!found) return nullptr;
  return MakeComObject<SimDimension, IDispatch>(host_, owner_, found);
}

}  // namespace sim
