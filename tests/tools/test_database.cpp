#include "tests/tools/test_database.h"

#include <stdexcept>

#include "platform/text.h"

namespace tools_test {

TestDatabase::TestDatabase(const std::filesystem::path& file, bool create) {
  if (!create && !std::filesystem::exists(file))
    throw std::runtime_error("no database " + file.string());
  db_.open(platform::Utf8ToUtf16(file.string()));
}

std::vector<std::string> TestDatabase::Column(const std::string& sql, const std::string& column) {
  std::vector<std::string> values;
  for (DbQuery query = db_.query(platform::Utf8ToUtf16(sql)); !query.atEnd(); query.next()) {
    values.push_back(platform::Utf16ToUtf8(query.textByName(platform::Utf8ToUtf16(column))));
  }
  return values;
}

std::string TestDatabase::Value(const std::string& sql, const std::string& column) {
  std::vector<std::string> values = Column(sql, column);
  return values.empty() ? "<none>" : values.front();
}

long long TestDatabase::Count(const std::string& table, const std::string& where) {
  std::string sql = "select count(*) as n from '" + table + "'";
  if (!where.empty()) sql += " where " + where;
  return std::stoll(Value(sql, "n"));
}

std::vector<std::string> TestDatabase::Tables() {
  return Column("select name from sqlite_master where type = 'table' order by name", "name");
}

void TestDatabase::Execute(const std::string& sql) { db_.execute(platform::Utf8ToUtf16(sql)); }

}  // namespace tools_test
