// The command line of one subcommand: its options, described as data, and
// what the user gave. Options are written "--name value" or "--name=value";
// "-h" and "--help" ask for the subcommand's help wherever they stand.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace harbolt_cli {

struct OptionSpec {
  std::string_view name;  // without the leading "--"
  bool takesValue = true;
  bool repeatable = false;
};

struct CommandSpec {
  std::string_view name;
  std::string_view synopsis;  // one line: what the command does
  std::string_view usage;     // the argument part of the usage line
  std::string_view help;      // the rest of the help text
  int minPositional = 0;
  int maxPositional = 0;
  std::span<const OptionSpec> options;
};

class CommandLine {
 public:
  // Reads args (the words after the subcommand's name) against definition. When
  // they ask for help, nothing else is read. Throws UsageError naming the
  // problem: an unknown option, a missing value, an option given twice that
  // may be given once, too few or too many positional arguments.
  CommandLine(const CommandSpec& definition, std::span<const std::string> args);

  const CommandSpec& definition() const { return spec_; }
  bool helpRequested() const { return help_; }
  const std::vector<std::string>& positional() const { return positional_; }

  bool Has(std::string_view option) const;
  // The value of an option given once; nullopt when not given.
  std::optional<std::string> Value(std::string_view option) const;
  // Every value of a repeatable option, in order.
  std::vector<std::string> Values(std::string_view option) const;
  // The option's value read as a whole decimal number in [min, max], or
  // fallback when not given. Throws UsageError for any other text.
  int IntValue(std::string_view option, int fallback, int min, int max) const;

 private:
  const CommandSpec& spec_;
  bool help_ = false;
  std::vector<std::string> positional_;
  std::map<std::string, std::vector<std::string>, std::less<>> options_;
};

// Reads text as a whole decimal number in [min, max]; nullopt otherwise.
std::optional<int> ParseInt(std::string_view text, int min, int max);

// The help text of a subcommand: usage line, synopsis and details.
std::string HelpText(const CommandSpec& definition);

}  // namespace harbolt_cli
