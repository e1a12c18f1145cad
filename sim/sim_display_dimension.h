// A display dimension that a feature shows: IDisplayDimension.
#pragma once

#include <memory>
#include <string>

#include "sim/sim_object.h"

namespace sim {

class SimDisplayDimension final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  // The display dimension number index of the feature.
  SimDisplayDimension(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
                      const FeatureModel* feature, size_t index);

  LONG Type2();
  // A chamfer dimension's index 0 or 1 gives that dimension, any other index
  // null; every index of any other type gives its one dimension (the host
  // ignores the index).
  ComPtr<IDispatch> GetDimension2(LONG index);

  const FeatureModel* feature() const { return feature_; }
  size_t index() const { return index_; }

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override;
  const DisplayDimensionModel& Model() const { return feature_->displayDimensions[index_]; }

  std::shared_ptr<DocumentState> owner_;
  const FeatureModel* feature_;
  size_t index_;
};

}  // namespace sim
