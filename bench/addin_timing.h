// The add-in driven as the host drives it: a session of the simulated host
// with the module loaded through the registry, the model open, and the
// export (RefreshTable) and the import (UpdateTable) timed by wall clock.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace harbolt_cli {
class Session;
}

namespace bench {

class AddinTiming {
 public:
  // Loads the module at `module` through a private registry and opens the
  // model; hands the add-in the dictionary. Throws std::runtime_error (or
  // the caller's ToolError) when any step fails.
  AddinTiming(const std::filesystem::path& module, const std::filesystem::path& model,
              const std::filesystem::path& dictionary);
  ~AddinTiming();
  AddinTiming(const AddinTiming&) = delete;
  AddinTiming& operator=(const AddinTiming&) = delete;

  // Seconds of RefreshTable(tables, database) / UpdateTable(tables,
  // database); throws std::runtime_error with the add-in's error when the
  // call does not succeed.
  double Refresh(const std::vector<std::string>& tables, const std::filesystem::path& database);
  double Update(const std::vector<std::string>& tables, const std::filesystem::path& database);

 private:
  double TimedCall(const char16_t* member, const std::vector<std::string>& tables,
                   const std::filesystem::path& database);
  std::unique_ptr<harbolt_cli::Session> session_;
};

// The stored name of a logical table (DADU_3_<name>).
std::string StoredTableName(const std::string& logicalName);

// A table to flag, which of its rows may be flagged (an SQL condition;
// empty: every row), and the change a caller makes to a flagged row (an SQL
// assignment; empty: none).
struct FlagRule {
  std::string table;
  std::string condition;
  std::string change;
};

// Sets DADU_flag = flag on every tenth row (by rowid) of the stored tables
// named that meets the rule's condition, with the rule's change when
// `change` is true; returns the rows flagged per table, in the order given.
std::vector<long long> FlagEveryTenthRow(const std::filesystem::path& database,
                                         const std::vector<FlagRule>& rules, int flag, bool change);

// Rows per table of the database, in the order given.
std::vector<long long> CountRows(const std::filesystem::path& database,
                                 const std::vector<std::string>& tables);

}  // namespace bench
