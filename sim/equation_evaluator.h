// Equations of the simulated host: the left-side name of an equation text
// and the evaluation of its right side.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "sim/model.h"

namespace sim {

// The name an equation defines: the text before the first "=", blanks
// trimmed and one pair of surrounding double quotes removed. Empty when the
// text has no "=".
std::u16string EquationLeftName(std::u16string_view text);
bool HasEquationSign(std::u16string_view text);

// Evaluates an arithmetic expression: decimal numbers, + - * / ^ (power,
// right-associative), unary signs, parentheses and double-quoted names, which
// lookup resolves. Nothing when the text is not such an expression or a name
// is unknown or a division by zero occurs.
std::optional<double> EvaluateExpression(
    std::u16string_view expression,
    const std::function<std::optional<double>(std::u16string_view)>& lookup);

// Evaluates the right side of an equation text in a model: a quoted name is
// a global variable (the value of the equation whose left side it is) or a
// dimension ("D1@Sketch1", its value).
std::optional<double> EvaluateEquation(const ModelData& model, std::u16string_view text);

}  // namespace sim
