#include "sim/sim_equation_manager.h"

#include "sim/equation_evaluator.h"
#include "sim/out_params.h"

namespace sim {

SimEquationManager::SimEquationManager(std::shared_ptr<HostState> host,
                                       std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

bool SimEquationManager::Valid(LONG index) const {
  return index >= 0 && static_cast<size_t>(index) < document_->model.equations.size();
}

bool SimEquationManager::Acceptable(std::u16string_view text, LONG skip) const {
  std::u16string left = EquationLeftName(text);
  if (!HasEquationSign(text) || left.empty()) return false;
  const std::vector<EquationModel>& equations = document_->model.equations;
  for (size_t i = 0; i < equations.size(); ++i) {
    if (static_cast<LONG>(i) != skip && EquationLeftName(equations[i].text) == left) return false;
  }
  return true;
}

void SimEquationManager::Solve(size_t index) {
  ModelData& model = document_->model;
  EquationModel& equation = model.equations[index];
  equation.value = EvaluateEquation(model, equation.text).value_or(0);
  if (equation.suppressed) return;
  DimensionModel* dimension = FindDimension(model, EquationLeftName(equation.text));
  if (dimension && !dimension->readOnly) dimension->value = equation.value;
}

HRESULT SimEquationManager::GetCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (auto fault = Enter("IHostEquationManager.GetCount", [this] { return document_->FileName(); }))
    return *fault;
  *count = static_cast<LONG>(document_->model.equations.size());
  return S_OK;
}

HRESULT SimEquationManager::GetEquation(LONG index, BSTR* text) {
  if (!text) return E_POINTER;
  *text = nullptr;
  if (auto fault = Enter("IHostEquationManager.GetEquation",
                         [this] { return document_->FileName(); }, {index})) {
    return *fault;
  }
  if (!Valid(index)) return E_INVALIDARG;
  return ReturnText(document_->model.equations[static_cast<size_t>(index)].text, text);
}

HRESULT SimEquationManager::SetEquation(LONG index, BSTR text) {
  if (auto fault = Enter("IHostEquationManager.SetEquation",
                         [this] { return document_->FileName(); }, {index, BstrView(text)})) {
    return *fault;
  }
  if (!Valid(index) || !Acceptable(BstrView(text), index)) return E_INVALIDARG;
  document_->model.equations[static_cast<size_t>(index)].text = std::u16string(BstrView(text));
  Solve(static_cast<size_t>(index));
  document_->changed = true;
  return S_OK;
}

HRESULT SimEquationManager::GetValue(LONG index, double* value) {
  if (!value) return E_POINTER;
  *value = 0;
  if (auto fault = Enter("IHostEquationManager.GetValue", [this] { return document_->FileName(); },
                         {index})) {
    return *fault;
  }
  *value = Valid(index) ? document_->model.equations[static_cast<size_t>(index)].value : -1;
  return S_OK;
}

HRESULT SimEquationManager::GetSuppression(LONG index, VARIANT_BOOL* suppressed) {
  if (!suppressed) return E_POINTER;
  *suppressed = VARIANT_FALSE;
  if (auto fault = Enter("IHostEquationManager.GetSuppression",
                         [this] { return document_->FileName(); }, {index})) {
    return *fault;
  }
  if (!Valid(index)) return E_INVALIDARG;
  *suppressed = ToVariantBool(document_->model.equations[static_cast<size_t>(index)].suppressed);
  return S_OK;
}

HRESULT SimEquationManager::SetSuppression(LONG index, VARIANT_BOOL suppressed) {
  if (auto fault = Enter("IHostEquationManager.SetSuppression",
                         [this] { return document_->FileName(); }, {index, suppressed})) {
    return *fault;
  }
  if (!Valid(index)) return E_INVALIDARG;
  document_->model.equations[static_cast<size_t>(index)].suppressed = suppressed != VARIANT_FALSE;
  Solve(static_cast<size_t>(index));
  document_->changed = true;
  return S_OK;
}

HRESULT SimEquationManager::Delete(LONG index, LONG* result) {
  if (result) *result = -1;
  if (auto fault =
          Enter("IHostEquationManager.Delete", [this] { return document_->FileName(); }, {index})) {
    return *fault;
  }
  if (!Valid(index)) return S_OK;
  std::vector<EquationModel>& equations = document_->model.equations;
  equations.erase(equations.begin() + index);
  document_->changed = true;
  if (result) *result = 0;
  return S_OK;
}

HRESULT SimEquationManager::Add(LONG index, BSTR text, VARIANT_BOOL solve, LONG* newIndex) {
  if (newIndex) *newIndex = -1;
  if (auto fault = Enter("IHostEquationManager.Add", [this] { return document_->FileName(); },
                         {index, BstrView(text), solve})) {
    return *fault;
  }
  std::vector<EquationModel>& equations = document_->model.equations;
  LONG count = static_cast<LONG>(equations.size());
  if (index < -1 || index > count || !Acceptable(BstrView(text), -1)) return S_OK;
  size_t at = index == -1 ? equations.size() : static_cast<size_t>(index);
  equations.insert(equations.begin() + static_cast<std::ptrdiff_t>(at),
                   EquationModel{std::u16string(BstrView(text)), 0, false});
  Solve(at);
  document_->changed = true;
  if (newIndex) *newIndex = static_cast<LONG>(at);
  return S_OK;
}

}  // namespace sim
