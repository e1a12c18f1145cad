#include "bench/sqlite_ceiling.h"

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/cpu_clock.h"
#include "platform/text.h"

namespace bench {
namespace {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

Db Open(const std::filesystem::path& file) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open(file.string().c_str(), &raw);
  Db db(raw);
  if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + file.string());
  return db;
}

void Check(sqlite3* db, int rc, const std::string& what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
  }
}

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  Check(db, sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr), sql);
  return Statement(raw);
}

void Exec(sqlite3* db, const std::string& sql) {
  Check(db, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), sql);
}

std::string Quoted(const std::string& text, char quote) {
  std::string out(1, quote);
  for (char c : text) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

std::vector<std::string> Schema(const std::filesystem::path& from) {
  Db db = Open(from);
  Statement query =
      Prepare(db.get(), "select sql from sqlite_master where type='table' and sql is not null");
  std::vector<std::string> schema;
  while (sqlite3_step(query.get()) == SQLITE_ROW) {
    schema.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0)));
  }
  return schema;
}

// Opens the fresh target and creates the tables; the caller writes and
// closes.
Db Fresh(const std::filesystem::path& schemaFrom, const std::filesystem::path& target) {
  std::filesystem::remove(target);
  std::vector<std::string> schema = Schema(schemaFrom);
  Db db = Open(target);
  for (const std::string& sql : schema) Exec(db.get(), sql);
  return db;
}

std::string InsertPrefix(const TableRows& table) {
  std::string sql = "insert into " + Quoted(table.table, '"') + " (";
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (i) sql += ',';
    sql += Quoted(table.columns[i], '"');
  }
  return sql + ") values (";
}

}  // namespace

std::vector<TableRows> ReadAllRows(const std::filesystem::path& database) {
  Db db = Open(database);
  std::vector<TableRows> all;
  {
    Statement names =
        Prepare(db.get(), "select name from sqlite_master where type='table' and sql is not null");
    while (sqlite3_step(names.get()) == SQLITE_ROW) {
      TableRows table;
      table.table = reinterpret_cast<const char*>(sqlite3_column_text(names.get(), 0));
      all.push_back(std::move(table));
    }
  }
  for (TableRows& table : all) {
    Statement rows = Prepare(db.get(), "select * from " + Quoted(table.table, '"'));
    const int count = sqlite3_column_count(rows.get());
    for (int i = 0; i < count; ++i) table.columns.emplace_back(sqlite3_column_name(rows.get(), i));
    int rc;
    while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
      std::vector<std::string> literals;
      std::vector<TableRows::Value> values;
      for (int i = 0; i < count; ++i) {
        TableRows::Value value;
        value.type = sqlite3_column_type(rows.get(), i);
        char number[40];
        switch (value.type) {
          case SQLITE_INTEGER:
            value.integer = sqlite3_column_int64(rows.get(), i);
            std::snprintf(number, sizeof number, "%lld", value.integer);
            literals.emplace_back(number);
            break;
          case SQLITE_FLOAT:
            value.real = sqlite3_column_double(rows.get(), i);
            std::snprintf(number, sizeof number, "%.17g", value.real);
            literals.emplace_back(number);
            break;
          case SQLITE_NULL:
            literals.emplace_back("NULL");
            break;
          default:
            value.type = SQLITE_TEXT;
            value.text.assign(reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), i)),
                              sqlite3_column_bytes(rows.get(), i));
            literals.push_back(Quoted(value.text, '\''));
        }
        values.push_back(std::move(value));
      }
      table.literals.push_back(std::move(literals));
      table.values.push_back(std::move(values));
    }
    Check(db.get(), rc, "reading " + table.table);
  }
  return all;
}

double WritePerRowText(const std::filesystem::path& schemaFrom, const std::filesystem::path& target,
                       const std::vector<TableRows>& rows) {
  const double start = CpuSeconds();
  {
    Db db = Fresh(schemaFrom, target);
    Exec(db.get(), "begin");
    for (const TableRows& table : rows) {
      const std::string prefix = InsertPrefix(table);
      for (const std::vector<std::string>& literals : table.literals) {
        std::string sql = prefix;
        for (size_t i = 0; i < literals.size(); ++i) {
          if (i) sql += ',';
          sql += literals[i];
        }
        sql += ")";
        Statement insert = Prepare(db.get(), sql);
        Check(db.get(), sqlite3_step(insert.get()), sql);
      }
    }
    Exec(db.get(), "commit");
  }
  return CpuSeconds() - start;
}

double WritePerRowText16(const std::filesystem::path& schemaFrom,
                         const std::filesystem::path& target, const std::vector<TableRows>& rows) {
  // The texts in UTF-16 before the clock starts, as the add-in has them.
  std::vector<std::u16string> prefixes;
  std::vector<std::vector<std::vector<std::u16string>>> literals;
  for (const TableRows& table : rows) {
    prefixes.push_back(platform::Utf8ToUtf16(InsertPrefix(table)));
    literals.emplace_back();
    for (const std::vector<std::string>& row : table.literals) {
      std::vector<std::u16string> converted;
      for (const std::string& literal : row) converted.push_back(platform::Utf8ToUtf16(literal));
      literals.back().push_back(std::move(converted));
    }
  }
  const std::vector<std::string> schema = Schema(schemaFrom);
  std::filesystem::remove(target);
  const double start = CpuSeconds();
  {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open16(target.u16string().c_str(), &raw);
    Db db(raw);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + target.string());
    for (const std::string& sql : schema) Exec(db.get(), sql);
    Exec(db.get(), "begin");
    for (size_t t = 0; t < rows.size(); ++t) {
      for (const std::vector<std::u16string>& row : literals[t]) {
        std::u16string sql = prefixes[t];
        for (size_t i = 0; i < row.size(); ++i) {
          if (i) sql += u',';
          sql += row[i];
        }
        sql += u")";
        sqlite3_stmt* statement = nullptr;
        Check(db.get(), sqlite3_prepare16_v2(db.get(), sql.c_str(), -1, &statement, nullptr),
              "insert");
        Statement insert(statement);
        Check(db.get(), sqlite3_step(insert.get()), "insert");
      }
    }
    Exec(db.get(), "commit");
  }
  return CpuSeconds() - start;
}

double WriteBound(const std::filesystem::path& schemaFrom, const std::filesystem::path& target,
                  const std::vector<TableRows>& rows) {
  const double start = CpuSeconds();
  {
    Db db = Fresh(schemaFrom, target);
    Exec(db.get(), "begin");
    for (const TableRows& table : rows) {
      std::string sql = InsertPrefix(table);
      for (size_t i = 0; i < table.columns.size(); ++i) sql += i ? ",?" : "?";
      sql += ")";
      Statement insert = Prepare(db.get(), sql);
      for (const std::vector<TableRows::Value>& values : table.values) {
        for (size_t i = 0; i < values.size(); ++i) {
          const int column = static_cast<int>(i) + 1;
          const TableRows::Value& value = values[i];
          switch (value.type) {
            case SQLITE_INTEGER:
              sqlite3_bind_int64(insert.get(), column, value.integer);
              break;
            case SQLITE_FLOAT:
              sqlite3_bind_double(insert.get(), column, value.real);
              break;
            case SQLITE_NULL:
              sqlite3_bind_null(insert.get(), column);
              break;
            default:
              sqlite3_bind_text(insert.get(), column, value.text.data(),
                                static_cast<int>(value.text.size()), SQLITE_STATIC);
          }
        }
        Check(db.get(), sqlite3_step(insert.get()), sql);
        sqlite3_reset(insert.get());
      }
    }
    Exec(db.get(), "commit");
  }
  return CpuSeconds() - start;
}

}  // namespace bench
