#include "sim/equation_evaluator.h"

#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace sim {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Recursive descent over the expression grammar:
//   sum     := product (("+" | "-") product)*
//   product := power (("*" | "/") power)*
//   power   := unary ("^" power)?
//   unary   := ("+" | "-") unary | primary
//   primary := number | "\"" name "\"" | "(" sum ")"
class Parser {
 public:
  Parser(std::u16string_view text,
         const std::function<std::optional<double>(std::u16string_view)>& lookup)
      : text_(text), lookup_(lookup) {}

  std::optional<double> Parse() {
    std::optional<double> value = Sum();
    SkipBlanks();
    if (!value || pos_ != text_.size() || !std::isfinite(*value)) return std::nullopt;
    return value;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  bool Take(char16_t c) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  std::optional<double> Sum() {
    std::optional<double> value = Product();
    while (value) {
      if (Take(u'+')) {
        std::optional<double> rhs = Product();
        if (!rhs) return std::nullopt;
        *value += *rhs;
      } else if (Take(u'-')) {
        std::optional<double> rhs = Product();
        if (!rhs) return std::nullopt;
        *value -= *rhs;
      } else {
        break;
      }
    }
    return value;
  }

  std::optional<double> Product() {
    std::optional<double> value = Power();
    while (value) {
      if (Take(u'*')) {
        std::optional<double> rhs = Power();
        if (!rhs) return std::nullopt;
        *value *= *rhs;
      } else if (Take(u'/')) {
        std::optional<double> rhs = Power();
        if (!rhs || *rhs == 0) return std::nullopt;
        *value /= *rhs;
      } else {
        break;
      }
    }
    return value;
  }

  std::optional<double> Power() {
    std::optional<double> base = Unary();
    if (base && Take(u'^')) {
      std::optional<double> exponent = Power();
      if (!exponent) return std::nullopt;
      return std::pow(*base, *exponent);
    }
    return base;
  }

  std::optional<double> Unary() {
    if (Take(u'-')) {
      std::optional<double> value = Unary();
      if (value) *value = -*value;
      return value;
    }
    if (Take(u'+')) return Unary();
    return Primary();
  }

  std::optional<double> Primary() {
    if (Take(u'(')) {
      std::optional<double> value = Sum();
      if (!value || !Take(u')')) return std::nullopt;
      return value;
    }
    if (Take(u'"')) {
      size_t end = text_.find(u'"', pos_);
      if (end == std::u16string_view::npos) return std::nullopt;
      std::u16string_view name = text_.substr(pos_, end - pos_);
      pos_ = end + 1;
      return lookup_(name);
    }
    return Number();
  }

  std::optional<double> Number() {
    SkipBlanks();
    std::string digits;
    while (pos_ < text_.size()) {
      char16_t c = text_[pos_];
      bool exponentSign = (c == u'+' || c == u'-') && !digits.empty() &&
                          (digits.back() == 'e' || digits.back() == 'E');
      if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || exponentSign) {
        digits.push_back(static_cast<char>(c));
        ++pos_;
      } else {
        break;
      }
    }
    if (digits.empty()) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
  }

  std::u16string_view text_;
  const std::function<std::optional<double>(std::u16string_view)>& lookup_;
  size_t pos_ = 0;
};

}  // namespace

bool HasEquationSign(std::u16string_view text) {
  return text.find(u'=') != std::u16string_view::npos;
}

std::u16string EquationLeftName(std::u16string_view text) {
  size_t sign = text.find(u'=');
  if (sign == std::u16string_view::npos) return {};
  std::u16string_view left = Trim(text.substr(0, sign));
  if (left.size() >= 2 && left.front() == u'"' && left.back() == u'"') {
    left = left.substr(1, left.size() - 2);
  }
  return std::u16string(left);
}

std::optional<double> EvaluateExpression(
    std::u16string_view expression,
    const std::function<std::optional<double>(std::u16string_view)>& lookup) {
  return Parser(expression, lookup).Parse();
}

std::optional<double> EvaluateEquation(const ModelData& model, std::u16string_view text) {
  size_t sign = text.find(u'=');
  if (sign == std::u16string_view::npos) return std::nullopt;
  auto lookup = [&model](std::u16string_view name) -> std::optional<double> {
    for (const EquationModel& equation : model.equations) {
      if (EquationLeftName(equation.text) == name) return equation.value;
    }
    for (const DimensionModel& dimension : model.dimensions) {
      if (dimension.name == name) return dimension.value;
    }
    return std::nullopt;
  };
  return EvaluateExpression(text.substr(sign + 1), lookup);
}

}  // namespace sim
