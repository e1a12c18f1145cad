#include "tools/harbolt/caller_database.h"

#include <sqlite3.h>

#include <system_error>

#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

}  // namespace

std::optional<size_t> DbRows::Column(std::string_view name) const {
  for (size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] == name) return i;
  }
  return std::nullopt;
}

void CallerDatabase::Closer::operator()(sqlite3* handle) const { sqlite3_close(handle); }

CallerDatabase::CallerDatabase(const std::filesystem::path& file, Mode mode) : file_(file) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(file, ignored)) {
    throw ToolError("the database " + file.string() + " does not exist");
  }
  sqlite3* handle = nullptr;
  int flags = mode == Mode::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  int result = sqlite3_open_v2(file.string().c_str(), &handle, flags, nullptr);
  handle_.reset(handle);
  if (result != SQLITE_OK) {
    throw ToolError("cannot open the database " + file.string() + ": " +
                    (handle ? sqlite3_errmsg(handle) : sqlite3_errstr(result)));
  }
  sqlite3_busy_timeout(handle, 60000);
}

CallerDatabase::~CallerDatabase() = default;

DbRows CallerDatabase::Query(std::string_view sql, const std::vector<DbValue>& values) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(handle_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    throw ToolError("cannot read the database " + file_.string() + ": " +
                    sqlite3_errmsg(handle_.get()));
  }
  Statement statement(raw);
  for (size_t i = 0; i < values.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    if (values[i]) {
      sqlite3_bind_text(raw, index, values[i]->data(), static_cast<int>(values[i]->size()),
                        SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_null(raw, index);
    }
  }
  DbRows rows;
  const int columns = sqlite3_column_count(raw);
  for (int c = 0; c < columns; ++c) rows.columns.emplace_back(sqlite3_column_name(raw, c));
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
    std::vector<DbValue>& row = rows.rows.emplace_back();
    for (int c = 0; c < columns; ++c) {
      if (sqlite3_column_type(raw, c) == SQLITE_NULL) {
        row.emplace_back(std::nullopt);
      } else {
        const unsigned char* text = sqlite3_column_text(raw, c);
        row.emplace_back(std::string(reinterpret_cast<const char*>(text),
                                     static_cast<size_t>(sqlite3_column_bytes(raw, c))));
      }
    }
  }
  if (step != SQLITE_DONE) {
    throw ToolError("the database " + file_.string() + ": " + sqlite3_errmsg(handle_.get()));
  }
  return rows;
}

int CallerDatabase::Execute(std::string_view sql, const std::vector<DbValue>& values) {
  Query(sql, values);
  return sqlite3_changes(handle_.get());
}

bool CallerDatabase::HasTable(std::string_view table) {
  return !Query("select name from sqlite_master where type = 'table' and name = ?1",
                {std::string(table)})
              .rows.empty();
}

DbRows CallerDatabase::Table(std::string_view table) {
  return Query("select * from " + QuotedName(table) + " order by rowid");
}

long long CallerDatabase::Count(std::string_view table, std::string_view where) {
  std::string sql = "select count(*) from " + QuotedName(table);
  if (!where.empty()) sql += " where " + std::string(where);
  DbRows rows = Query(sql);
  return rows.rows.empty() || !rows.rows[0][0] ? 0 : std::stoll(*rows.rows[0][0]);
}

std::string QuotedName(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace harbolt_cli
