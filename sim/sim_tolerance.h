// The tolerance of a dimension of a model document.
#pragma once

#include <memory>

#include "host/host_dimension.h"
#include "sim/sim_object.h"

namespace sim {

class SimTolerance final : public SimDispatchObject<IHostTolerance> {
 public:
  SimTolerance(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
               DimensionModel* dimension);

  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override;
  HRESULT STDMETHODCALLTYPE SetType(LONG type) override;
  HRESULT STDMETHODCALLTYPE GetMinValue(double* value) override;
  HRESULT STDMETHODCALLTYPE GetMaxValue(double* value) override;
  HRESULT STDMETHODCALLTYPE SetValues(double minValue, double maxValue,
                                      VARIANT_BOOL* done) override;

 private:
  std::u16string Target() const;

  std::shared_ptr<DocumentState> owner_;
  DimensionModel* dimension_;
};

}  // namespace sim
