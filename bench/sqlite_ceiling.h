// The ceiling of the export: the rows an export wrote, read back from its
// database and written again into a fresh file in one transaction, through
// SQLite alone. Three forms: every row its own SQL text prepared, stepped
// and finalized (as the export writes), in UTF-16 as the add-in hands SQLite
// its statements and in UTF-8; and one prepared statement per table with
// bound values.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct TableRows {
  std::string table;
  std::vector<std::string> columns;
  // One literal per column per row, in SQL form ('text', 12, 1.5, NULL),
  // and the same values as SQLite types for binding.
  std::vector<std::vector<std::string>> literals;
  struct Value {
    int type = 0;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_NULL
    long long integer = 0;
    double real = 0;
    std::string text;
  };
  std::vector<std::vector<Value>> values;
};

// Every row of every table of the database (the tables as they are created
// there). Throws std::runtime_error with SQLite's message.
std::vector<TableRows> ReadAllRows(const std::filesystem::path& database);

// Opens a fresh file (removed first), creates the tables with the schema of
// `schemaFrom` and writes all rows in one transaction, as an export does from
// the start to the end; returns the seconds that took. Throws
// std::runtime_error with SQLite's message.
double WritePerRowText(const std::filesystem::path& schemaFrom, const std::filesystem::path& target,
                       const std::vector<TableRows>& rows);
// The same through SQLite's UTF-16 interface into a UTF-16 database, as the
// add-in's database layer writes: the texts are UTF-16 already.
double WritePerRowText16(const std::filesystem::path& schemaFrom,
                         const std::filesystem::path& target, const std::vector<TableRows>& rows);
double WriteBound(const std::filesystem::path& schemaFrom, const std::filesystem::path& target,
                  const std::vector<TableRows>& rows);

}  // namespace bench
