#include "tools/harbolt/table_list.h"

#include <algorithm>
#include <cctype>

#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string AllNames() {
  std::string names;
  for (std::string_view name : kLogicalTables) {
    if (!names.empty()) names += ", ";
    names += name;
  }
  return names;
}

// The logical name a mistyped one probably means: the same letters in
// another case, or the nine-letter "Component".
std::optional<std::string_view> Meant(std::string_view name) {
  std::string lower = Lower(name);
  if (lower == "component" || lower == "components") return "Componen";
  for (std::string_view known : kLogicalTables) {
    if (Lower(known) == lower) return known;
  }
  return std::nullopt;
}

}  // namespace

std::string StoredTableName(std::string_view logical) { return "DADU_3_" + std::string(logical); }

std::vector<std::string> ParseTableList(const std::optional<std::string>& text) {
  if (!text) return {std::begin(kLogicalTables), std::end(kLogicalTables)};
  std::vector<std::string> tables;
  std::string_view rest = *text;
  while (true) {
    size_t comma = rest.find(',');
    std::string_view name = Trim(rest.substr(0, comma));
    if (!name.empty()) {
      if (std::find(std::begin(kLogicalTables), std::end(kLogicalTables), name) ==
          std::end(kLogicalTables)) {
        std::string message = "unknown table name \"" + std::string(name) + "\"";
        if (std::optional<std::string_view> meant = Meant(name)) {
          message += " (did you mean \"" + std::string(*meant) + "\"?)";
        }
        throw UsageError(message + "; the tables are " + AllNames() +
                         " (names are case-sensitive)");
      }
      if (std::find(tables.begin(), tables.end(), name) == tables.end()) {
        tables.emplace_back(name);
      }
    }
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (tables.empty()) throw UsageError("--tables names no table; the tables are " + AllNames());
  return tables;
}

std::string JoinTables(const std::vector<std::string>& tables) {
  std::string joined;
  for (const std::string& table : tables) {
    if (!joined.empty()) joined += ",";
    joined += table;
  }
  return joined;
}

}  // namespace harbolt_cli
