// The equation manager of a model document.
#pragma once

#include <memory>

#include "host/host_equations.h"
#include "sim/sim_object.h"

namespace sim {

class SimEquationManager final : public SimDispatchObject<IHostEquationManager> {
 public:
  SimEquationManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  HRESULT STDMETHODCALLTYPE GetCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetEquation(LONG index, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE SetEquation(LONG index, BSTR text) override;
  HRESULT STDMETHODCALLTYPE GetValue(LONG index, double* value) override;
  HRESULT STDMETHODCALLTYPE GetSuppression(LONG index, VARIANT_BOOL* suppressed) override;
  HRESULT STDMETHODCALLTYPE SetSuppression(LONG index, VARIANT_BOOL suppressed) override;
  HRESULT STDMETHODCALLTYPE Delete(LONG index, LONG* result) override;
  HRESULT STDMETHODCALLTYPE Add(LONG index, BSTR text, VARIANT_BOOL solve, LONG* newIndex) override;

 private:
  bool Valid(LONG index) const;
  // Whether text may stand at index (skip: the index it replaces, or -1).
  bool Acceptable(std::u16string_view text, LONG skip) const;
  // Evaluates the equation at index and lets it drive its dimension.
  void Solve(size_t index);

  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
