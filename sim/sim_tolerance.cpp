#include "sim/sim_tolerance.h"

#include "sim/out_params.h"
#include "sim/sim_dimension.h"

namespace sim {

SimTolerance::SimTolerance(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
                           DimensionModel* dimension)
    : SimDispatchObject(std::move(host)), owner_(std::move(owner)), dimension_(dimension) {}

std::u16string SimTolerance::Target() const { return SimDimension::FullName(*owner_, *dimension_); }

HRESULT SimTolerance::GetType(LONG* type) {
  if (!type) return E_POINTER;
  *type = 0;
  if (auto fault = Enter("IHostTolerance.GetType", [this] { return Target(); })) return *fault;
  *type = dimension_->toleranceType;
  return S_OK;
}

HRESULT SimTolerance::SetType(LONG type) {
  if (auto fault = Enter("IHostTolerance.SetType", [this] { return Target(); }, {type}))
    return *fault;
  if (type < kToleranceNone || type > kToleranceGeneral) return E_INVALIDARG;
  dimension_->toleranceType = type;
  owner_->changed = true;
  return S_OK;
}

HRESULT SimTolerance::GetMinValue(double* value) {
  if (!value) return E_POINTER;
  *value = 0;
  if (auto fault = Enter("IHostTolerance.GetMinValue", [this] { return Target(); })) return *fault;
  *value = dimension_->toleranceMin;
  return S_OK;
}

HRESULT SimTolerance::GetMaxValue(double* value) {
  if (!value) return E_POINTER;
  *value = 0;
  if (auto fault = Enter("IHostTolerance.GetMaxValue", [this] { return Target(); })) return *fault;
  *value = dimension_->toleranceMax;
  return S_OK;
}

HRESULT SimTolerance::SetValues(double minValue, double maxValue, VARIANT_BOOL* done) {
  if (done) *done = VARIANT_FALSE;
  if (auto fault =
          Enter("IHostTolerance.SetValues", [this] { return Target(); }, {minValue, maxValue})) {
    return *fault;
  }
  if (dimension_->toleranceType == kToleranceNone) return S_OK;
  dimension_->toleranceMin = minValue;
  dimension_->toleranceMax = maxValue;
  owner_->changed = true;
  if (done) *done = VARIANT_TRUE;
  return S_OK;
}

}  // namespace sim
