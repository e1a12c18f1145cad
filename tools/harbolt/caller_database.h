// The caller's own access to the database files the add-in writes and
// reads: reading tables, changing rows and setting DADU_flag as a
// data-management client does. (The caller is a separate program; it talks
// to SQLite directly, with bound parameters.)
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace harbolt_cli {

// A value as text; nullopt stands for NULL.
using DbValue = std::optional<std::string>;

struct DbRows {
  std::vector<std::string> columns;
  std::vector<std::vector<DbValue>> rows;

  // The index of a column by name; nullopt when there is none.
  std::optional<size_t> Column(std::string_view name) const;
};

class CallerDatabase {
 public:
  enum class Mode { kReadOnly, kReadWrite };

  // Opens an existing database file (never creates one). Throws ToolError
  // naming the file when it does not exist or cannot be opened.
  CallerDatabase(const std::filesystem::path& file, Mode mode);
  ~CallerDatabase();
  CallerDatabase(const CallerDatabase&) = delete;
  CallerDatabase& operator=(const CallerDatabase&) = delete;

  // Runs one statement with the values bound to ?1, ?2, ... (as text, so the
  // columns' types convert them). Returns the number of rows it changed.
  // Throws ToolError with SQLite's message.
  int Execute(std::string_view sql, const std::vector<DbValue>& values = {});
  // Runs a query; every row, values as text.
  DbRows Query(std::string_view sql, const std::vector<DbValue>& values = {});

  bool HasTable(std::string_view table);
  // The rows of a table, in their stored order.
  DbRows Table(std::string_view table);
  long long Count(std::string_view table, std::string_view where = {});

  const std::filesystem::path& file() const { return file_; }

 private:
  struct Closer {
    void operator()(sqlite3* handle) const;
  };

  std::filesystem::path file_;
  std::unique_ptr<sqlite3, Closer> handle_;
};

// A table name between double quotes, for SQL texts.
std::string QuotedName(std::string_view name);

}  // namespace harbolt_cli
