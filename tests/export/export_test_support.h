// The export tests' fixture: the simulated host, the sample dictionary, an SQLite file.
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

// A value as a text: reals in the shortest text, NULL as "NULL".
inline std::string Value(sqlite3_stmt* statement, int column) {
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

// The rows of a query on an SQLite file, read only; typed: each value as "type:value".
inline std::vector<Row> Query(const std::filesystem::path& file, const std::string& sql,
                              bool typed = false) {
  static const char* const kTypes[] = {"", "integer:", "real:", "text:", "blob:", "null:"};
  std::vector<Row> rows;
  sqlite3* db = nullptr;
  sqlite3_stmt* statement = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
  }
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      rows.back().push_back((typed ? kTypes[sqlite3_column_type(statement, i)] : "") +
                            Value(statement, i));
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

class ExportTest : public ::testing::Test {
 protected:
  ExportTest()
      : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()),
        db_(dir_ / "export.db"),
        workDir_(Utf16((dir_.path() / "work").string())) {
    std::filesystem::create_directories(dir_.path() / "work");
    SetDictionary(testing_support::ReadFile(SampleDir() / "dictionary.xml"));
  }
  void Open(const std::string& sample) { host_.Open(SampleDir() / sample); }
  void OpenModel(const std::string& fileName, const std::string& json) {
    testing_support::WriteFile(dir_ / fileName, json);
    host_.Open(dir_ / fileName);
  }
  sim::ModelData& Model() { return *host_.Model(host_.ActiveDocument().Get()); }
  void SetDictionary(const std::string& xml) { dictionary_.parse(Utf16(xml)); }
  // Runs the export as RefreshTable does; checks it released every host object.
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
  std::vector<Row> Select(const std::string& sql) const { return Query(db_, sql); }
  // Every row of a stored table (or of a query) as one text, values joined by "|".
  std::vector<std::string> Lines(const std::string& tableOrSql) const {
    std::vector<std::string> lines;
    const bool query = tableOrSql.rfind("select ", 0) == 0;
    for (const Row& row :
         Select(query ? tableOrSql : "select * from '" + tableOrSql + "' order by rowid")) {
      std::string line;
      for (size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + row[i];
      lines.push_back(line);
    }
    return lines;
  }
  // The CREATE TABLE text SQLite keeps for the table; empty when none.
  std::string CreateSql(std::u16string_view table) const {
    Row sql = Lines("select sql from sqlite_master where name='" + Utf8(table) + "'");
    return sql.empty() ? std::string() : sql[0];
  }
  Row Tables() const {
    return Lines("select name from sqlite_master where type='table' order by rowid");
  }
  // The positions of the host calls of that operation.
  std::vector<size_t> CallsOf(std::string_view operation) const {
    std::vector<size_t> positions;
    for (size_t i = 0; i < host_.Calls().size(); ++i) {
      if (host_.Calls()[i].operation == operation) positions.push_back(i);
    }
    return positions;
  }
  long CallCount(std::string_view operation) const { return long(CallsOf(operation).size()); }

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
