// The vocabulary of the importer's tests: a simulated host with the sample
// models (or small models written by the test), a real SQLite file with the
// tables of an export and the rows a caller flagged, the import as the
// add-in runs it, and what it left behind: the host's journal of calls, the
// log file, the error state.
//
//   OpenSample("Housing.SLDPRT");
//   Tables();
//   Row("Equation", {{"equIndex", 1}, {"equation", u"\"D1@Sketch1\" = 130"}}, kChanged);
//   EXPECT_EQ(S_OK, Import(u"Equation"));
//   EXPECT_THAT(Writes("IEquationMgr."), ElementsAre(...));
//
// Every Import also checks what must hold after any import: the database
// file has the same bytes as before, and the host counts no object or
// reference left from it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "host/host.h"
#include "sim/model.h"
#include "sim/sim_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace import_test {

// DADU_flag values a caller sets.
constexpr int kUnchanged = 0;
constexpr int kAdded = 1;
constexpr int kChanged = 2;
constexpr int kDeleted = 3;

// A cell of a row: a column and its value (NULL, integer, real or text).
using Value = std::variant<std::nullptr_t, int, double, std::u16string>;
struct Cell {
  std::string column;
  Value value;
};

// The columns of the tables an export writes, "name Type" each, in order.
const std::vector<std::string>& ExportColumns(const std::string& table);

inline std::filesystem::path SampleDir() { return HARBOLT_SAMPLE_DIR; }

std::string Utf8(std::u16string_view text);

class ImportTest : public ::testing::Test {
 protected:
  ImportTest();
  ~ImportTest() override;

  // --- the model ---------------------------------------------------------
  // Opens the copy of a sample model (all samples are copied into the test's
  // directory, so that they may be saved) and makes it active.
  void OpenSample(const std::string& file);
  // Writes a model file (JSON of the simulated host) and opens it.
  void OpenModel(const std::string& file, const std::string& json);
  std::filesystem::path ModelPath(const std::string& file) const { return models_ / file; }
  // The live model of an open document.
  sim::ModelData& Model(const std::string& file);
  sim::SimHost& host() { return host_; }

  // --- the database --------------------------------------------------------
  // Creates the stored table of a logical name with the export's columns (or
  // the columns given, "name Type" each) and DADU_flag.
  void Table(const std::string& table, const std::vector<std::string>& columns = {});
  // The six tables the importer reads, with the export's columns.
  void Tables();
  // Adds a row; the columns not named are NULL.
  void Row(const std::string& table, std::initializer_list<Cell> cells, int flag);
  // Runs a statement on the database (outside any import).
  void Execute(const std::u16string& sql);
  const std::u16string& dbPath() const { return dbPath_; }

  // --- the import ----------------------------------------------------------
  // UpdateTable's work for the table list, on the database file (dbPath()
  // unless given). The calls it made replace the journal; the log keeps
  // growing. Checks that the file's bytes did not change and that the host
  // counts no object or reference left from the import.
  HRESULT Import(const std::u16string& tables);
  HRESULT ImportFrom(const std::u16string& tables, const std::u16string& path);

  // Runs UpdateTable's work once; the default calls the import directly with
  // this fixture's error state, as the add-in does.
  virtual HRESULT RunUpdateTable(const std::u16string& tables, const std::u16string& path);

  // The error state the import reported into (starts at 77 and "untouched").
  int32_t errNumber = 77;
  std::u16string errDescription = u"untouched";

  // The calls of the last import whose operation starts with prefix, as
  // "operation target(arguments)".
  std::vector<std::string> Journal(const std::string& prefix = {}) const;
  // Those of them that change the model: puts and the methods named Set...,
  // Add... and Delete....
  std::vector<std::string> Writes(const std::string& prefix = {}) const;
  // Makes the host's operation fail ("Interface.Method#n") or give nothing.
  void FailCall(const std::string& faultText, HRESULT failure = E_FAIL) {
    host_.FailCall(faultText, failure);
  }
  void EmptyCall(const std::string& faultText) { host_.EmptyCall(faultText); }

  // The log file's lines without their time stamps (a line that the text's
  // own line break ends shows as the empty line after it).
  std::vector<std::string> LogLines() const;
  // The log lines written by the last import.
  std::vector<std::string> ImportLog() const;
  // Takes the log's folder away: the imports after it keep no log.
  void RemoveLogFolder();

 private:
  testing_support::TempDir dir_;
  std::filesystem::path models_;
  std::filesystem::path drive_;
  testing_support::ScopedEnv driveEnv_;
  testing_support::ScopedEnv languageEnv_;
  std::u16string dbPath_;
  sim::SimHost host_;
  size_t logBefore_ = 0;
};

}  // namespace import_test
