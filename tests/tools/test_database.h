// Reading (and changing, as a caller does) the database files the runs
// write, through the project's SQLite layer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "db/db_connection.h"

namespace tools_test {

class TestDatabase {
 public:
  // Opens an existing database file, or with create a new one.
  explicit TestDatabase(const std::filesystem::path& file, bool create = false);

  // Every value of the column of the query's rows, as UTF-8 text.
  std::vector<std::string> Column(const std::string& sql, const std::string& column);
  // The column of the first row; "<none>" when there is no row.
  std::string Value(const std::string& sql, const std::string& column);
  long long Count(const std::string& table, const std::string& where = {});
  // Names of the tables, sorted.
  std::vector<std::string> Tables();
  void Execute(const std::string& sql);

 private:
  DbConnection db_;
};

}  // namespace tools_test
