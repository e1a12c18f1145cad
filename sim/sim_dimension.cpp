#include "sim/sim_dimension.h"

#include <numbers>

#include "sim/out_params.h"
#include "sim/sim_tolerance.h"

namespace sim {

SimDimension::SimDimension(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
                           DimensionModel* dimension)
    : SimDispatchObject(std::move(host)), owner_(std::move(owner)), dimension_(dimension) {}

std::u16string SimDimension::FullName(const DocumentState& owner, const DimensionModel& dimension) {
  if (!dimension.fullNameOverride.empty()) return dimension.fullNameOverride;
  return dimension.name + u"@" + owner.FileName();
}

double SimDimension::SystemValue(const DocumentState& owner, const DimensionModel& dimension) {
  switch (dimension.parameterType) {
    case kDimensionParamLength:
      return dimension.value * UnitMetres(owner.model);
    case kDimensionParamAngle:
      return dimension.value * std::numbers::pi / 180.0;
    default:
      return dimension.value;
  }
}

std::u16string SimDimension::Target() const { return FullName(*owner_, *dimension_); }

HRESULT SimDimension::GetFullName(BSTR* fullName) {
  if (!fullName) return E_POINTER;
  *fullName = nullptr;
  if (auto fault = Enter("IHostDimension.GetFullName", [this] { return Target(); })) return *fault;
  return ReturnText(FullName(*owner_, *dimension_), fullName);
}

HRESULT SimDimension::GetValue(double* value) {
  if (!value) return E_POINTER;
  *value = 0;
  if (auto fault = Enter("IHostDimension.GetValue", [this] { return Target(); })) return *fault;
  *value = dimension_->value;
  return S_OK;
}

HRESULT SimDimension::SetValue(double value) {
  if (auto fault = Enter("IHostDimension.SetValue", [this] { return Target(); }, {value}))
    return *fault;
  if (dimension_->readOnly) return E_ACCESSDENIED;
  dimension_->value = value;
  owner_->changed = true;
  return S_OK;
}

HRESULT SimDimension::GetSystemValue(double* value) {
  if (!value) return E_POINTER;
  *value = 0;
  if (auto fault = Enter("IHostDimension.GetSystemValue", [this] { return Target(); }))
    return *fault;
  *value = SystemValue(*owner_, *dimension_);
  return S_OK;
}

HRESULT SimDimension::GetReadOnly(VARIANT_BOOL* readOnly) {
  if (!readOnly) return E_POINTER;
  *readOnly = VARIANT_FALSE;
  if (auto fault = Enter("IHostDimension.GetReadOnly", [this] { return Target(); })) return *fault;
  *readOnly = ToVariantBool(dimension_->readOnly);
  return S_OK;
}

HRESULT SimDimension::SetReadOnly(VARIANT_BOOL readOnly) {
  if (auto fault = Enter("IHostDimension.SetReadOnly", [this] { return Target(); }, {readOnly}))
    return *fault;
  dimension_->readOnly = readOnly != VARIANT_FALSE;
  owner_->changed = true;
  return S_OK;
}

HRESULT SimDimension::GetDrivenState(LONG* state) {
  if (!state) return E_POINTER;
  *state = 0;
  if (auto fault = Enter("IHostDimension.GetDrivenState", [this] { return Target(); }))
    return *fault;
  *state = dimension_->drivenState;
  return S_OK;
}

HRESULT SimDimension::SetDrivenState(LONG state) {
  if (auto fault = Enter("IHostDimension.SetDrivenState", [this] { return Target(); }, {state}))
    return *fault;
  if (state < kDimensionDrivenUnknown || state > kDimensionDriving) return E_INVALIDARG;
  dimension_->drivenState = state;
  owner_->changed = true;
  return S_OK;
}

HRESULT SimDimension::GetParameterType(LONG* type) {
  if (!type) return E_POINTER;
  *type = 0;
  if (auto fault = Enter("IHostDimension.GetParameterType", [this] { return Target(); }))
    return *fault;
  *type = dimension_->parameterType;
  return S_OK;
}

HRESULT SimDimension::IsReference(VARIANT_BOOL* reference) {
  if (!reference) return E_POINTER;
  *reference = VARIANT_FALSE;
  if (auto fault = Enter("IHostDimension.IsReference", [this] { return Target(); })) return *fault;
  *reference = ToVariantBool(dimension_->reference);
  return S_OK;
}

HRESULT SimDimension::GetTolerance(IHostTolerance** tolerance) {
  if (!tolerance) return E_POINTER;
  *tolerance = nullptr;
  if (auto fault = Enter("IHostDimension.GetTolerance", [this] { return Target(); })) return *fault;
  return ReturnObject(MakeComObject<SimTolerance, IHostTolerance>(host_, owner_, dimension_),
                      tolerance);
}

}  // namespace sim
