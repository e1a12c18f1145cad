// A dimension of a model document.
#pragma once

#include <memory>

#include "host/host_dimension.h"
#include "sim/sim_object.h"

namespace sim {

class SimDimension final : public SimDispatchObject<IHostDimension> {
 public:
  SimDimension(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
               DimensionModel* dimension);

  HRESULT STDMETHODCALLTYPE GetFullName(BSTR* fullName) override;
  HRESULT STDMETHODCALLTYPE GetValue(double* value) override;
  HRESULT STDMETHODCALLTYPE SetValue(double value) override;
  HRESULT STDMETHODCALLTYPE GetSystemValue(double* value) override;
  HRESULT STDMETHODCALLTYPE GetReadOnly(VARIANT_BOOL* readOnly) override;
  HRESULT STDMETHODCALLTYPE SetReadOnly(VARIANT_BOOL readOnly) override;
  HRESULT STDMETHODCALLTYPE GetDrivenState(LONG* state) override;
  HRESULT STDMETHODCALLTYPE SetDrivenState(LONG state) override;
  HRESULT STDMETHODCALLTYPE GetParameterType(LONG* type) override;
  HRESULT STDMETHODCALLTYPE IsReference(VARIANT_BOOL* reference) override;
  HRESULT STDMETHODCALLTYPE GetTolerance(IHostTolerance** tolerance) override;

  // dimension@feature@document.
  static std::u16string FullName(const DocumentState& owner, const DimensionModel& dimension);
  // The value in system units (metres, radians).
  static double SystemValue(const DocumentState& owner, const DimensionModel& dimension);

 private:
  std::u16string Target() const;

  std::shared_ptr<DocumentState> owner_;
  DimensionModel* dimension_;
};

}  // namespace sim
