#include "bench/addin_timing.h"

#include <sqlite3.h>

#include <stdexcept>

#include "bench/cpu_clock.h"
#include "platform/text.h"
#include "tools/harbolt/caller_steps.h"
#include "tools/harbolt/session.h"
#include "tools/harbolt/tool_paths.h"

namespace bench {
namespace {

std::u16string JoinTables(const std::vector<std::string>& tables) {
  std::string list;
  for (const std::string& table : tables) {
    if (!list.empty()) list += ',';
    list += table;
  }
  return platform::Utf8ToUtf16(list);
}

// Runs sql on the database, calling onRow for each result row's first
// column (as an integer).
template <typename OnRow>
void Query(const std::filesystem::path& database, const std::string& sql, OnRow onRow) {
  sqlite3* db = nullptr;
  if (sqlite3_open(database.string().c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + database.string());
  }
  char* message = nullptr;
  int rc = sqlite3_exec(
      db, sql.c_str(),
      [](void* context, int columns, char** values, char**) {
        if (columns > 0) (*static_cast<OnRow*>(context))(values[0] ? std::stoll(values[0]) : 0);
        return 0;
      },
      &onRow, &message);
  std::string text = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error(sql + ": " + text);
}

}  // namespace

AddinTiming::AddinTiming(const std::filesystem::path& module, const std::filesystem::path& model,
                         const std::filesystem::path& dictionary) {
  session_ = std::make_unique<harbolt_cli::Session>(model, harbolt_cli::ModuleChoice{module, true});
  harbolt_cli::SetDictionary(*session_, dictionary);
}

AddinTiming::~AddinTiming() = default;

double AddinTiming::TimedCall(const char16_t* member, const std::vector<std::string>& tables,
                              const std::filesystem::path& database) {
  using automation::Arg;
  const std::u16string list = JoinTables(tables);
  const std::u16string path = harbolt_cli::WidePath(std::filesystem::absolute(database));
  const double start = CpuSeconds();
  harbolt_cli::CallResult result = session_->Call(member, {Arg(list), Arg(path)});
  const double seconds = CpuSeconds() - start;
  if (!result.ok()) throw std::runtime_error(result.Describe());
  return seconds;
}

double AddinTiming::Refresh(const std::vector<std::string>& tables,
                            const std::filesystem::path& database) {
  return TimedCall(u"RefreshTable", tables, database);
}

double AddinTiming::Update(const std::vector<std::string>& tables,
                           const std::filesystem::path& database) {
  return TimedCall(u"UpdateTable", tables, database);
}

std::string StoredTableName(const std::string& logicalName) { return "DADU_3_" + logicalName; }

std::vector<long long> FlagEveryTenthRow(const std::filesystem::path& database,
                                         const std::vector<FlagRule>& rules, int flag,
                                         bool change) {
  std::vector<long long> flagged;
  for (const FlagRule& rule : rules) {
    const std::string name = std::string("\"").append(StoredTableName(rule.table)).append("\"");
    const std::string assignment =
        change && !rule.change.empty() ? std::string(", ").append(rule.change) : std::string();
    Query(database,
          "update " + name + " set DADU_flag=" + std::to_string(flag) + assignment +
              " where rowid % 10 = 0" +
              (rule.condition.empty() ? std::string()
                                      : std::string(" and (").append(rule.condition).append(")")),
          [](long long) {});
    Query(database, "select count(*) from " + name + " where DADU_flag<>0",
          [&](long long count) { flagged.push_back(count); });
  }
  return flagged;
}

std::vector<long long> CountRows(const std::filesystem::path& database,
                                 const std::vector<std::string>& tables) {
  std::vector<long long> counts;
  for (const std::string& table : tables) {
    Query(database,
          std::string("select count(*) from \"").append(StoredTableName(table)).append("\""),
          [&](long long count) { counts.push_back(count); });
  }
  return counts;
}

}  // namespace bench
