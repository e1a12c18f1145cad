// The importer tests' fixture: copies of the sample models, an SQLite file with flagged rows,
// what an import left; every import checks the file kept its bytes and no host object lives.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "db/db_connection.h"
#include "host/host.h"
#include "import/update_tables.h"
#include "platform/format.h"
#include "platform/text.h"
#include "sim/model.h"
#include "sim/sim_host.h"
#include "tests/support/bound_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace import_test {

// DADU_flag values a caller sets.
constexpr int kUnchanged = 0;
constexpr int kAdded = 1;
constexpr int kChanged = 2;
constexpr int kDeleted = 3;

using Value = std::variant<std::nullptr_t, int, double, std::u16string>;
struct Cell {
  std::string column;
  Value value;
};

inline std::filesystem::path SampleDir() { return HARBOLT_SAMPLE_DIR; }
inline std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }
inline std::u16string Wide(const std::string& text) { return platform::Utf8ToUtf16(text); }

// A value as an SQL literal; texts with their quotes doubled.
inline std::u16string Literal(const Value& value) {
  if (std::holds_alternative<std::nullptr_t>(value)) return u"NULL";
  if (const int* number = std::get_if<int>(&value)) {
    return platform::FormatWide(platform::kUnlimited, u"%d", *number);
  }
  if (const double* real = std::get_if<double>(&value)) {
    return platform::FormatWide(platform::kUnlimited, u"%.17g", *real);
  }
  std::u16string text = u"'";
  for (char16_t c : std::get<std::u16string>(value)) {
    text += c;
    if (c == u'\'') text += c;
  }
  return text + u"'";
}

// The columns of a table of the sample dictionary, "name Type" each.
inline std::vector<std::string> DictionaryColumns(const std::string& table) {
  static const std::string xml = testing_support::ReadFile(SampleDir() / "dictionary.xml");
  static const std::regex kField(R"re(<fld name="(\w+)" dt="(\d)")re");
  const size_t start = xml.find("<tab name=\"" + table + "\">");
  const std::string fields = xml.substr(start, xml.find("</tab>", start) - start);
  std::vector<std::string> columns;
  for (std::sregex_iterator it(fields.begin(), fields.end(), kField), end; it != end; ++it) {
    const std::string dt = (*it)[2];
    columns.push_back((*it)[1].str() + (dt == "1" ? " Integer" : dt == "3" ? " Real" : " Text"));
  }
  return columns;
}

class ImportTest : public ::testing::Test {
 protected:
  ImportTest() {
    std::filesystem::create_directories(drive_ / "1");
    std::filesystem::create_directories(models_);
    for (const auto& entry : std::filesystem::directory_iterator(SampleDir())) {
      std::filesystem::copy_file(entry.path(), models_ / entry.path().filename());
    }
  }
  void OpenSample(const std::string& file) { host_.Open(models_ / file); }
  void OpenModel(const std::string& file, const std::string& json) {
    testing_support::WriteFile(models_ / file, json);
    host_.Open(models_ / file);
  }
  std::filesystem::path ModelPath(const std::string& file) const { return models_ / file; }
  sim::ModelData& Model(const std::string& file) {
    sim::ModelData* model = host_.Model(models_ / file);
    if (!model) throw std::runtime_error("model not open: " + file);
    return *model;
  }
  sim::SimHost& host() { return host_; }
  // The table with the sample dictionary's columns (or those given), without keys, and DADU_flag.
  void Table(const std::string& table, const std::vector<std::string>& columns = {}) {
    std::u16string sql = u"create table 'DADU_3_" + Wide(table) + u"' (";
    for (const std::string& column : columns.empty() ? DictionaryColumns(table) : columns) {
      sql += Wide(column) + u",";
    }
    Execute(sql + u"DADU_flag Integer)");
  }
  void Tables() {
    for (const char* table :
         {"Feature", "Dimension", "Equation", "Config", "Parameter", "property"}) {
      Table(table);
    }
  }
  void Row(const std::string& table, const std::vector<Cell>& cells, int flag) {
    std::u16string columns;
    std::u16string values;
    for (const Cell& cell : cells) {
      columns += Wide(cell.column) + u",";
      values += Literal(cell.value) + u",";
    }
    Execute(u"insert into 'DADU_3_" + Wide(table) + u"' (" + columns + u"DADU_flag) values (" +
            values + Literal(flag) + u")");
  }
  void Execute(const std::u16string& sql) {
    DbConnection db;
    db.open(dbPath_);
    db.execute(u"pragma synchronous=off");
    db.execute(sql);
  }
  const std::u16string& dbPath() const { return dbPath_; }
  HRESULT Import(const std::u16string& tables) { return ImportFrom(tables, dbPath_); }
  HRESULT ImportFrom(const std::u16string& tables, const std::u16string& path) {
    const std::filesystem::path file(path);
    const bool existed = std::filesystem::exists(file);
    const std::string bytes = testing_support::ReadFile(file);
    const long objects = host_.LiveObjects();
    const long references = host_.References();
    logBefore_ = LogLines().size();
    host_.ClearCalls();
    const HRESULT result = RunUpdateTable(tables, path);
    EXPECT_EQ(existed, std::filesystem::exists(file)) << "the import created or removed the file";
    EXPECT_EQ(bytes, testing_support::ReadFile(file)) << "the import changed the database file";
    EXPECT_EQ(objects, host_.LiveObjects()) << "host objects left alive by the import";
    EXPECT_EQ(references, host_.References()) << "host references left by the import";
    return result;
  }
  // By default the import is called directly, with this fixture's error state.
  virtual HRESULT RunUpdateTable(const std::u16string& tables, const std::u16string& path) {
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
    ScopedBstr tableList(tables);
    ScopedBstr database(path);
    return UpdateTables(application.Get(), tableList.Get(), database.Get(), u"Harbolt.Harbolt.1",
                        errNumber, errDescription);
  }
  int32_t errNumber = 77;
  std::u16string errDescription = u"untouched";
  // The last import's calls starting with prefix: "operation target(arguments)".
  std::vector<std::string> Journal(const std::string& prefix = {}) const {
    return host_.CallLines(prefix);
  }
  // Those that change the model: puts and methods named Set..., Add..., Delete....
  std::vector<std::string> Writes(const std::string& prefix = {}) const {
    std::vector<std::string> writes;
    for (const std::string& call : Journal(prefix)) {
      const std::string member = call.substr(call.find('.') + 1);
      for (const char* verb : {"put_", "Set", "Add", "Delete"}) {
        if (member.rfind(verb, 0) == 0) {
          writes.push_back(call);
          break;
        }
      }
    }
    return writes;
  }

  // The log lines (without time stamps) the last import wrote.
  std::vector<std::string> ImportLog() const {
    std::vector<std::string> lines = LogLines();
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(logBefore_));
    return lines;
  }
  void RemoveLogFolder() { std::filesystem::remove_all(drive_ / "1"); }

 private:
  std::vector<std::string> LogLines() const {
    static const std::regex kStamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d+: )");
    std::istringstream text(testing_support::ReadFile(drive_ / "1" / "dov_cax_log.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
      lines.push_back(std::regex_replace(line, kStamp, ""));
    }
    return lines;
  }
  testing_support::TempDir dir_;
  std::filesystem::path models_ = dir_ / "models";
  std::filesystem::path drive_ = dir_ / "drive_c";
  testing_support::ScopedEnv driveEnv_{"HARBOLT_DRIVE_C", drive_.c_str()};
  testing_support::ScopedEnv languageEnv_{"LC_ALL", "C"};
  std::u16string dbPath_ = (dir_ / "import.db").u16string();
  sim::SimHost host_;
  size_t logBefore_ = 0;
};

}  // namespace import_test
