// A display dimension that a feature shows.
#pragma once

#include <memory>

#include "host/host_dimension.h"
#include "sim/sim_object.h"

namespace sim {

class SimDisplayDimension final : public SimDispatchObject<IHostDisplayDimension> {
 public:
  // The display dimension number index of the feature.
  SimDisplayDimension(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
                      const FeatureModel* feature, size_t index);

  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override;
  HRESULT STDMETHODCALLTYPE GetDimension(LONG index, IHostDimension** dimension) override;

  const FeatureModel* feature() const { return feature_; }
  size_t index() const { return index_; }

 private:
  std::u16string Target() const;
  const DisplayDimensionModel& Model() const { return feature_->displayDimensions[index_]; }

  std::shared_ptr<DocumentState> owner_;
  const FeatureModel* feature_;
  size_t index_;
};

}  // namespace sim
