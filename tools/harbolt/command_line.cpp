#include "tools/harbolt/command_line.h"

#include <charconv>

#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

const OptionSpec* FindOption(const CommandSpec& definition, std::string_view name) {
  for (const OptionSpec& option : definition.options) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

}  // namespace

CommandLine::CommandLine(const CommandSpec& definition, std::span<const std::string> args)
    : spec_(definition) {
  // Help is given whatever else the line holds.
  for (const std::string& word : args) {
    if (word == "--") break;
    if (word == "-h" || word == "--help") {
      help_ = true;
      return;
    }
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--") {
      positional_.insert(positional_.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                         args.end());
      break;
    }
    if (!word.starts_with("--") || word.size() == 2) {
      if (word.size() > 1 && word[0] == '-') throw UsageError("unknown option " + word);
      positional_.push_back(word);
      continue;
    }
    std::string_view text = std::string_view(word).substr(2);
    std::optional<std::string> value;
    if (size_t equals = text.find('='); equals != std::string_view::npos) {
      value = std::string(text.substr(equals + 1));
      text = text.substr(0, equals);
    }
    const OptionSpec* option = FindOption(definition, text);
    if (!option) throw UsageError("unknown option --" + std::string(text));
    if (!option->takesValue) {
      if (value) throw UsageError("--" + std::string(text) + " takes no value");
      value = std::string();
    } else if (!value) {
      if (i + 1 >= args.size()) throw UsageError("--" + std::string(text) + " needs a value");
      value = args[++i];
    }
    std::vector<std::string>& values = options_[std::string(text)];
    if (!values.empty() && !option->repeatable) {
      throw UsageError("--" + std::string(text) + " is given more than once");
    }
    values.push_back(*value);
  }
  const int count = static_cast<int>(positional_.size());
  if (count < definition.minPositional) {
    throw UsageError(definition.minPositional == 1 ? "the model file is missing"
                                                   : "an argument is missing");
  }
  if (count > definition.maxPositional) {
    throw UsageError("unexpected argument \"" +
                     positional_[static_cast<size_t>(definition.maxPositional)] + "\"");
  }
}

bool CommandLine::Has(std::string_view option) const { return options_.contains(option); }

std::optional<std::string> CommandLine::Value(std::string_view option) const {
  auto found = options_.find(option);
  if (found == options_.end() || found->second.empty()) return std::nullopt;
  return found->second.back();
}

std::vector<std::string> CommandLine::Values(std::string_view option) const {
  auto found = options_.find(option);
  return found == options_.end() ? std::vector<std::string>() : found->second;
}

int CommandLine::IntValue(std::string_view option, int fallback, int min, int max) const {
  std::optional<std::string> text = Value(option);
  if (!text) return fallback;
  std::optional<int> number = ParseInt(*text, min, max);
  if (!number) {
    throw UsageError("--" + std::string(option) + " takes a whole number from " +
                     std::to_string(min) + " to " + std::to_string(max) + ", not \"" + *text +
                     "\"");
  }
  return *number;
}

std::optional<int> ParseInt(std::string_view text, int min, int max) {
  int number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < min ||
      number > max) {
    return std::nullopt;
  }
  return number;
}

std::string HelpText(const CommandSpec& definition) {
  std::string text = "usage: harbolt " + std::string(definition.name);
  if (!definition.usage.empty()) text += " " + std::string(definition.usage);
  text += "\n\n" + std::string(definition.synopsis) + "\n";
  if (!definition.help.empty()) text += "\n" + std::string(definition.help);
  return text;
}

}  // namespace harbolt_cli
