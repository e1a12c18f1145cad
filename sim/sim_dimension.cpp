#include "sim/sim_dimension.h"

#include <numbers>

#include "host/published/published_ids.h"
#include "sim/published_member.h"
#include "sim/sim_tolerance.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimDimension::FullName>("FullName", 1),
    PublishMethod<&SimDimension::GetValue3>("GetValue3", 2),
    PublishMethod<&SimDimension::SetValue3>("SetValue3", 3),
    PublishMethod<&SimDimension::GetSystemValue3>("GetSystemValue3", 4),
    PublishGet<&SimDimension::ReadOnly>("ReadOnly", 5),
    PublishGet<&SimDimension::DrivenState>("DrivenState", 6),
    PublishPut<&SimDimension::put_DrivenState>("DrivenState", 6),
    PublishMethod<&SimDimension::GetType>("GetType", 7),
    PublishMethod<&SimDimension::IsReference>("IsReference", 8),
    PublishGet<&SimDimension::Tolerance>("Tolerance", 9),
};

// The value in system units (metres, radians).
double SystemValue(const DocumentState& owner, const DimensionModel& dimension) {
  switch (dimension.parameterType) {
    case kDimensionParamLength:
      return dimension.value * UnitMetres(owner.model);
    case kDimensionParamAngle:
      return dimension.value * std::numbers::pi / 180.0;
    default:
      return dimension.value;
  }
}

}  // namespace

constinit const PublishedInterface SimDimension::kPublished{"IDimension", kMembers};

SimDimension::SimDimension(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
                           DimensionModel* dimension)
    : SimDispatchObject(std::move(host)), owner_(std::move(owner)), dimension_(dimension) {}

std::u16string SimDimension::FullNameOf(const DocumentState& owner,
                                        const DimensionModel& dimension) {
  if (!dimension.fullNameOverride.empty()) return dimension.fullNameOverride;
  return dimension.name + u"@" + owner.FileName();
}

std::u16string SimDimension::FullName() { return FullNameOf(*owner_, *dimension_); }

// A dimension has one value for all configurations here, so the
// configurations asked for change nothing.
std::vector<double> SimDimension::GetValue3(LONG, const VARIANT&) { return {dimension_->value}; }

LONG SimDimension::SetValue3(double value, LONG, const VARIANT&) {
  if (dimension_->readOnly) return published::swSetValue_Failure;
  dimension_->value = value;
  owner_->changed = true;
  return published::swSetValue_Successful;
}

std::vector<double> SimDimension::GetSystemValue3(LONG, const VARIANT&) {
  return {SystemValue(*owner_, *dimension_)};
}

bool SimDimension::ReadOnly() { return dimension_->readOnly; }
LONG SimDimension::DrivenState() { return dimension_->drivenState; }

void SimDimension::put_DrivenState(LONG state) {
  if (state < kDimensionDrivenUnknown || state > kDimensionDriving) return;
  dimension_->drivenState = state;
  owner_->changed = true;
}

LONG SimDimension::GetType() { return dimension_->parameterType - 1; }
bool SimDimension::IsReference() { return dimension_->reference; }

ComPtr<IDispatch> SimDimension::Tolerance() {
  return MakeComObject<SimTolerance, IDispatch>(host_, owner_, dimension_);
}

}  // namespace sim
