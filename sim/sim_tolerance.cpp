#include "sim/sim_tolerance.h"

#include "host/published/published_ids.h"
#include "sim/published_member.h"
#include "sim/sim_dimension.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimTolerance::Type>("Type", 1),
    PublishPut<&SimTolerance::put_Type>("Type", 1),
    PublishMethod<&SimTolerance::GetMinValue2>("GetMinValue2", 2),
    PublishMethod<&SimTolerance::GetMaxValue2>("GetMaxValue2", 3),
    PublishMethod<&SimTolerance::SetValues2>("SetValues2", 4),
};

}  // namespace

constinit const PublishedInterface SimTolerance::kPublished{"IDimensionTolerance", kMembers};

SimTolerance::SimTolerance(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
                           DimensionModel* dimension)
    : SimDispatchObject(std::move(host)), owner_(std::move(owner)), dimension_(dimension) {}

std::u16string SimTolerance::JournalTarget() const {
  return SimDimension::FullNameOf(*owner_, *dimension_);
}

LONG SimTolerance::Type() { return dimension_->toleranceType; }

void SimTolerance::put_Type(LONG type) {
  if (type < kToleranceNone || type > kToleranceGeneral) return;
  dimension_->toleranceType = type;
  owner_->changed = true;
}

LONG SimTolerance::Limit(double DimensionModel::*limit, double* value) const {
  if (dimension_->toleranceType == kToleranceNone) {
    *value = 0;
    return published::swDimensionToleranceNotValid;
  }
  *value = dimension_->*limit;
  return published::swDimensionToleranceValid;
}

LONG SimTolerance::GetMinValue2(double* value) {
  return Limit(&DimensionModel::toleranceMin, value);
}

LONG SimTolerance::GetMaxValue2(double* value) {
  return Limit(&DimensionModel::toleranceMax, value);
}

// A tolerance has one pair of limits for all configurations here.
bool SimTolerance::SetValues2(double minValue, double maxValue, LONG, const VARIANT&) {
  if (dimension_->toleranceType == kToleranceNone) return false;
  dimension_->toleranceMin = minValue;
  dimension_->toleranceMax = maxValue;
  owner_->changed = true;
  return true;
}

}  // namespace sim
