// Shared vocabulary of the export tests: a simulated host with the sample
// models (or small models a test writes), the sample data dictionary, an
// export into a real SQLite file in a temporary directory, and the rows,
// tables and CREATE TABLE texts read back from that file.
//
//   Open("Housing.SLDPRT");
//   ASSERT_EQ(S_OK, Export(u"Feature,Dimension"));
//   EXPECT_EQ(Row({"0", "Comments", ...}), Rows(u"DADU_3_Feature")[0]);
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <charconv>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/kvx_xml.h"
#include "export/refresh_tables.h"
#include "platform/bstr.h"
#include "platform/error_info.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/support/bound_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace export_test {

using Row = std::vector<std::string>;

inline std::filesystem::path SampleDir() { return HARBOLT_SAMPLE_DIR; }

inline std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }
inline std::u16string Utf16(std::string_view text) { return platform::Utf8ToUtf16(text); }

// The shortest text that reads back as the same double.
inline std::string Shortest(double value) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Reads an SQLite file: every value as a text (integers in decimal, reals in
// the shortest text that reads back as the same double, texts as stored,
// NULL as "NULL").
class Database {
 public:
  explicit Database(const std::filesystem::path& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << "cannot open " << path;
    }
  }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database() { sqlite3_close(db_); }

  std::vector<Row> Query(const std::string& sql) const {
    std::vector<Row> rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
      return rows;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
      Row row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) row.push_back(Value(statement, i));
      rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    return rows;
  }

  static std::string Value(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
      case SQLITE_NULL:
        return "NULL";
      case SQLITE_INTEGER:
        return std::to_string(sqlite3_column_int64(statement, column));
      case SQLITE_FLOAT:
        return Shortest(sqlite3_column_double(statement, column));
      default:
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                           static_cast<size_t>(sqlite3_column_bytes(statement, column)));
    }
  }

 private:
  sqlite3* db_ = nullptr;
};

// The host, the dictionary and the database of one test.
class ExportTest : public ::testing::Test {
 protected:
  ExportTest()
      : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()),
        db_(dir_ / "export.db"),
        workDir_(Utf16((dir_.path() / "work").string())) {
    std::filesystem::create_directories(dir_.path() / "work");
    SetDictionary(testing_support::ReadFile(SampleDir() / "dictionary.xml"));
  }

  // The sample model, opened and made active.
  void Open(const std::string& sample) { host_.Open(SampleDir() / sample); }
  // A model file written by the test (JSON of the simulated host), opened.
  std::filesystem::path OpenModel(const std::string& fileName, const std::string& json) {
    std::filesystem::path path = dir_ / fileName;
    testing_support::WriteFile(path, json);
    host_.Open(path);
    return path;
  }
  // The live model of the active document.
  sim::ModelData& Model() { return *host_.Model(host_.ActiveDocument().Get()); }

  void SetDictionary(const std::string& xml) { dictionary_.parse(Utf16(xml)); }

  // Runs the export as RefreshTable does, with the table list and the
  // database file; checks that it released every host object it took.
  HRESULT Export(std::u16string_view tables) {
    long objects = host_.LiveObjects();
    long references = host_.References();
    HRESULT hr = ExportWith(tables, db_.u16string());
    EXPECT_EQ(objects, host_.LiveObjects()) << "host objects left by the export";
    EXPECT_EQ(references, host_.References()) << "host references left by the export";
    return hr;
  }
  HRESULT ExportWith(std::u16string_view tables, std::u16string_view dbPath) {
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
    ScopedBstr bsTables(tables);
    ScopedBstr bsPath(dbPath);
    return RefreshTables(application.Get(), dictionary_, workDir_, bsTables.Get(), bsPath.Get(),
                         u"Harbolt.Harbolt.1", errNumber_, errDescription_);
  }

  // The rows of a stored table in the order they were written.
  std::vector<Row> Rows(std::u16string_view table) const {
    return Database(db_).Query("select * from '" + Utf8(table) + "' order by rowid");
  }
  // The result of a query on the database.
  std::vector<Row> Select(const std::string& sql) const { return Database(db_).Query(sql); }
  // The columns of a stored table, in order.
  Row Columns(std::u16string_view table) const {
    Row names;
    for (const Row& info : Database(db_).Query("pragma table_info('" + Utf8(table) + "')")) {
      names.push_back(info[1]);
    }
    return names;
  }
  // The CREATE TABLE text SQLite keeps for the table; empty when none.
  std::string CreateSql(std::u16string_view table) const {
    std::vector<Row> rows = Database(db_).Query(
        "select sql from sqlite_master where type='table' and name='" + Utf8(table) + "'");
    return rows.empty() ? std::string() : rows[0][0];
  }
  // The tables of the database, in creation order.
  Row Tables() const {
    Row names;
    for (const Row& row :
         Database(db_).Query("select name from sqlite_master where type='table' order by rowid")) {
      names.push_back(row[0]);
    }
    return names;
  }
  // Position of the first host call of that operation in this test's
  // journal; -1 when there is none.
  long FirstCall(std::string_view operation) const {
    const std::vector<sim::HostCall>& calls = host_.Calls();
    for (size_t i = 0; i < calls.size(); ++i) {
      if (calls[i].operation == operation) return static_cast<long>(i);
    }
    return -1;
  }
  // Number of host calls of that operation.
  long CallCount(std::string_view operation) const {
    long count = 0;
    for (const sim::HostCall& call : host_.Calls()) count += call.operation == operation;
    return count;
  }

  // The description of the COM error object the failed call published.
  static std::string ComErrorText() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return "(none)";
    ScopedBstr text;
    info->GetDescription(text.Receive());
    return Utf8(text.View());
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv drive_;
  sim::SimHost host_;
  Dovbase::XmlDocument dictionary_;
  std::filesystem::path db_;
  std::u16string workDir_;
  int32_t errNumber_ = 0;
  std::u16string errDescription_;
};

}  // namespace export_test
