#include "sim/sim_equation_manager.h"

#include "sim/equation_evaluator.h"
#include "sim/published_member.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimEquationManager::GetCount>("GetCount", 1),
    PublishGet<&SimEquationManager::Equation>("Equation", 2),
    PublishPut<&SimEquationManager::put_Equation>("Equation", 2),
    PublishGet<&SimEquationManager::Value>("Value", 3),
    PublishGet<&SimEquationManager::Suppression>("Suppression", 4),
    PublishPut<&SimEquationManager::put_Suppression>("Suppression", 4),
    PublishMethod<&SimEquationManager::Delete>("Delete", 5),
    PublishMethod<&SimEquationManager::Add2>("Add2", 6),
    PublishGet<&SimEquationManager::Status>("Status", 7),
};

constexpr LONG kWorked = 0;
constexpr LONG kFailed = -1;

}  // namespace

constinit const PublishedInterface SimEquationManager::kPublished{"IEquationMgr", kMembers};

SimEquationManager::SimEquationManager(std::shared_ptr<HostState> host,
                                       std::shared_ptr<DocumentState> document)
    : SimDispatchObject(std::move(host)), document_(std::move(document)) {}

bool SimEquationManager::Outcome(bool worked) {
  document_->equationStatus = worked ? kWorked : kFailed;
  return worked;
}

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

LONG SimEquationManager::GetCount() {
  Outcome(true);
  return static_cast<LONG>(document_->model.equations.size());
}

std::u16string SimEquationManager::Equation(LONG index) {
  if (!Outcome(Valid(index))) return {};
  return document_->model.equations[static_cast<size_t>(index)].text;
}

void SimEquationManager::put_Equation(LONG index, std::u16string_view text) {
  if (!Outcome(Valid(index) && Acceptable(text, index))) return;
  document_->model.equations[static_cast<size_t>(index)].text = std::u16string(text);
  Solve(static_cast<size_t>(index));
  document_->changed = true;
}

double SimEquationManager::Value(LONG index) {
  if (!Outcome(Valid(index))) return -1;
  return document_->model.equations[static_cast<size_t>(index)].value;
}

bool SimEquationManager::Suppression(LONG index) {
  if (!Outcome(Valid(index))) return false;
  return document_->model.equations[static_cast<size_t>(index)].suppressed;
}

void SimEquationManager::put_Suppression(LONG index, bool suppressed) {
  if (!Outcome(Valid(index))) return;
  document_->model.equations[static_cast<size_t>(index)].suppressed = suppressed;
  Solve(static_cast<size_t>(index));
  document_->changed = true;
}

LONG SimEquationManager::Delete(LONG index) {
  if (!Outcome(Valid(index))) return -1;
  std::vector<EquationModel>& equations = document_->model.equations;
  equations.erase(equations.begin() + index);
  document_->changed = true;
  return 0;
}

// Every equation added is evaluated at once: there is no rebuild to wait for
// here, so solve changes nothing.
LONG SimEquationManager::Add2(LONG index, std::u16string_view text, bool) {
  std::vector<EquationModel>& equations = document_->model.equations;
  LONG count = static_cast<LONG>(equations.size());
  if (!Outcome(index >= -1 && index <= count && Acceptable(text, -1))) return -1;
  size_t at = index == -1 ? equations.size() : static_cast<size_t>(index);
  equations.insert(equations.begin() + static_cast<std::ptrdiff_t>(at),
                   EquationModel{std::u16string(text), 0, false});
  Solve(at);
  document_->changed = true;
  return static_cast<LONG>(at);
}

LONG SimEquationManager::Status() { return document_->equationStatus; }

}  // namespace sim
