// Every host call of every step of an import made to fail in turn: no crash, no
// failure reported as success, the documented error state or a clear error naming
// the host's failure, every host object released, the database file unchanged.
#include <sqlite3.h>

#include <optional>

#include "tests/reliability/table_run.h"

namespace reliability {
namespace {

// A caller's edits: rows flagged changed (2), deleted (3) and added (1) in every
// table; top-level features, as the import finds features on the chain only.
constexpr const char* kCallerEdits[] = {
    "update DADU_3_Feature set description='swept', uiState=-1, DADU_flag=2 "
    "where rowid in (select rowid from DADU_3_Feature where ownerFeatureId is null limit 2)",
    "update DADU_3_Dimension set dimValue=dimValue+1, DADU_flag=2 where rowid<=2",
    "update DADU_3_Equation set DADU_flag=2 where rowid=1",
    "update DADU_3_Equation set DADU_flag=3 where rowid=(select max(rowid) from DADU_3_Equation)",
    "insert into DADU_3_Equation (equIndex, equation, DADU_flag) values (99, '\"Swept\" = 5', 1)",
    "update DADU_3_Config set comment='swept', DADU_flag=2",
    "update DADU_3_Parameter set paramValue=paramValue||'9', DADU_flag=2 where rowid=1",
    "update DADU_3_Parameter set DADU_flag=3 where rowid=2",
    "update DADU_3_property set propertyValue='swept', DADU_flag=2 where rowid<=3",
    "update DADU_3_property set DADU_flag=3 where rowid=4"};

// Failing host calls documented to fail without a message (error number 0, no
// text): a step's request for the active document, and the configuration
// step's request for the row's configuration (the host's way of saying none).
bool FailsWithoutMessage(const Fault& fault) {
  return (fault.operation() == "ISldWorks.ActiveDoc" && fault.occurrence() > 1) ||
         fault.operation() == "IModelDoc2.GetConfigurationByName";
}

struct ImportCase {
  const char* model;
  const char16_t* tables;
};

// The case as ctest lists it, "Feature of Housing.SLDPRT".
void PrintTo(const ImportCase& c, std::ostream* out) {
  *out << platform::Utf16ToUtf8(c.tables) << " of " << c.model;
}

class ImportSweepTest : public TableTest, public ::testing::WithParamInterface<ImportCase> {
 protected:
  // Copies: the import changes models only in memory, but never the samples.
  ImportSweepTest() { std::filesystem::copy(HARBOLT_SAMPLE_DIR, dir_ / "models"); }

  // Every table of the model exported, then the caller's edits.
  void PrepareDatabase() {
    host_.Open(dir_ / "models" / GetParam().model);
    ASSERT_EQ(S_OK, Export(kAllTables, db_.u16string())) << Utf8(run_.errDescription);
    sqlite3* handle = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(db_.c_str(), &handle));
    for (const char* edit : kCallerEdits) {
      EXPECT_EQ(SQLITE_OK, sqlite3_exec(handle, edit, nullptr, nullptr, nullptr))
          << edit << ": " << sqlite3_errmsg(handle);
    }
    sqlite3_close(handle);
    bytes_ = testing_support::ReadFile(db_);
  }

  // One host serves the sweep but for the tables whose writes depend on what
  // the model holds (an equation added twice, a value already there).
  std::vector<sim::HostCall> ImportOnce(const Fault* fault) {
    std::optional<sim::SimHost> fresh;
    const std::u16string_view names(GetParam().tables);
    const bool dependsOnModel = names.find(u"Equation") != names.npos ||
                                names.find(u"Parameter") != names.npos ||
                                names.find(u"property") != names.npos;
    if (dependsOnModel) fresh.emplace().Open(dir_ / "models" / GetParam().model);
    sim::SimHost& host = fresh ? *fresh : host_;
    host.ClearCalls();
    if (fault) fault->Apply(host);
    const TableRun run = RunTables(host, nullptr, names, db_.u16string());
    std::vector<sim::HostCall> calls = host.Calls();
    host.ClearFaults();
    EXPECT_EQ(bytes_, testing_support::ReadFile(db_)) << "the import changed the database";

    if (!fault) {
      EXPECT_EQ(S_OK, run.hr) << "the clean import failed: " << run.errNumber << " "
                              << Utf8(run.errDescription);
      EXPECT_TRUE(WritesModel(calls)) << "the clean import wrote nothing";
    } else if (run.hr == S_OK) {
      EXPECT_EQ(77, run.errNumber);
      EXPECT_EQ(u"untouched", run.errDescription);
      EXPECT_FALSE(fault->failing() && !HitsRootComponentName(*fault, calls))
          << "a failing host call passed for a complete import";
    } else if (run.hr != S_FALSE) {
      ADD_FAILURE() << "unexpected result " << std::hex << run.hr << " "
                    << Utf8(run.errDescription);
    } else if (run.errNumber == 0 && run.errDescription.empty()) {
      // The documented failures without a message: an item the model does
      // not have (what an empty answer looks like), or the calls above.
      EXPECT_TRUE(!fault->failing() || FailsWithoutMessage(*fault))
          << "a failing host call gave no message";
    } else {
      EXPECT_EQ(-1, run.errNumber);
      EXPECT_FALSE(run.errDescription.empty());
      EXPECT_TRUE(!fault->failing() || fault->CarriedBy(run.errDescription))
          << "not a clear error: " << Utf8(run.errDescription);
    }
    return calls;
  }

  ScratchDir scratch_;
  std::filesystem::path db_ = scratch_ / "import.db";
  std::string bytes_;
};

TEST_P(ImportSweepTest, EveryHostCallOfTheStepFailsInTurn) {
  ASSERT_NO_FATAL_FAILURE(PrepareDatabase());
  Sweep sweep(std::string("import ") + Utf8(GetParam().tables) + " into " + GetParam().model);
  EXPECT_GT(sweep.Run([&](const Fault* fault) { return ImportOnce(fault); }), 0u);
}

// Every step of the import on a part (each alone, then all together), the
// component walks of an assembly, and the steps of a drawing.
INSTANTIATE_TEST_SUITE_P(
    Steps, ImportSweepTest,
    ::testing::Values(
        ImportCase{"Housing.SLDPRT", u"Feature"}, ImportCase{"Housing.SLDPRT", u"Dimension"},
        ImportCase{"Housing.SLDPRT", u"Equation"}, ImportCase{"Housing.SLDPRT", u"Config"},
        ImportCase{"Housing.SLDPRT", u"Parameter"}, ImportCase{"Housing.SLDPRT", u"property"},
        ImportCase{"Housing.SLDPRT", kAllTables}, ImportCase{"Gearbox.SLDASM", u"Feature"},
        ImportCase{"Gearbox.SLDASM", u"Parameter"}, ImportCase{"Gearbox.SLDASM", u"property"},
        ImportCase{"Gearbox.SLDDRW", u"Feature,Equation,Config"}));

}  // namespace
}  // namespace reliability
