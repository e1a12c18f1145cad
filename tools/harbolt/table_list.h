// The logical table names the caller asks the add-in for, and the list
// given with --tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harbolt_cli {

// The seven logical names, in the order a list names them by default.
inline constexpr std::string_view kLogicalTables[] = {
    "Feature", "Dimension", "Equation", "Config", "Parameter", "Componen", "property",
};

// The name a logical table is stored under: "DADU_3_" and the name.
std::string StoredTableName(std::string_view logical);

// Reads a --tables text: names separated by ",", blanks around each name
// ignored, each one of the seven logical names exactly, a name given twice
// kept once. nullopt (no --tables) gives all seven. Throws UsageError for an
// empty list or an unknown name, saying which names exist (and which one
// was probably meant).
std::vector<std::string> ParseTableList(const std::optional<std::string>& text);

// The names joined by "," (the form the add-in takes).
std::string JoinTables(const std::vector<std::string>& tables);

}  // namespace harbolt_cli
