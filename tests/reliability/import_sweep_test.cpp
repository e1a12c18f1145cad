// Every host call of every step of an import, made to fail in turn (an
// exception of the host, a member it lacks, an empty answer): the import
// never crashes, never reports a failed host call as success, reports the
// documented error state or a clear error naming the host's failure,
// releases every host object and leaves the database file exactly as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/catch_pattern.h"
#include "common/kvx_xml.h"
#include "export/refresh_tables.h"
#include "import/update_tables.h"
#include "platform/bstr.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/reliability/fault_sweep.h"
#include "tests/support/bound_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

std::filesystem::path Sample(const std::string& name) {
  return std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}

// The changes a caller makes to an export before it asks for the import:
// rows flagged changed (2), deleted (3) and added (1) in every table.
constexpr const char* kCallerEdits[] = {
    // The top-level features: the import finds features on the document's
    // chain only.
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
    "update DADU_3_property set DADU_flag=3 where rowid=4",
};

constexpr char16_t kAllTables[] = u"Feature,Dimension,Parameter,Componen,Equation,Config,property";

// Failing host calls after which the documented outcome is a failure
// without a message (error number 0, empty description): a step's request
// for the active document, and the configuration step's request for the
// row's configuration (the host's way of saying it has none).
bool FailsWithoutMessage(const std::string& operation, int occurrence) {
  return (operation == "ISldWorks.ActiveDoc" && occurrence > 1) ||
         operation == "IModelDoc2.GetConfigurationByName";
}

struct ImportCase {
  const char* model;
  const char16_t* tables;
};

class ImportSweepTest : public ::testing::TestWithParam<ImportCase> {
 protected:
  ImportSweepTest() : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()) {
    // The models are copied: an import changes them only in memory, but a
    // test must never be able to touch the samples.
    std::filesystem::copy(HARBOLT_SAMPLE_DIR, dir_ / "models");
  }

  // Exports every table of the model into the database, then makes the
  // caller's edits.
  void PrepareDatabase() {
    sim::SimHost host;
    host.Open(dir_ / "models" / GetParam().model);
    Dovbase::XmlDocument dictionary;
    dictionary.parse(platform::Utf8ToUtf16(testing_support::ReadFile(Sample("dictionary.xml"))));
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host);
    ScopedBstr tables(kAllTables);
    ScopedBstr path(db().u16string());
    int32_t errNumber = 0;
    std::u16string errDescription;
    ASSERT_EQ(S_OK, RefreshTables(application.Get(), dictionary, u"", tables.Get(), path.Get(),
                                  u"Harbolt.Harbolt.1", errNumber, errDescription))
        << Utf8(errDescription);
    sqlite3* handle = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(db().c_str(), &handle));
    for (const char* edit : kCallerEdits) {
      EXPECT_EQ(SQLITE_OK, sqlite3_exec(handle, edit, nullptr, nullptr, nullptr))
          << edit << ": " << sqlite3_errmsg(handle);
    }
    sqlite3_close(handle);
    bytes_ = testing_support::ReadFile(db());
  }

  std::filesystem::path db() const { return scratch_ / "import.db"; }

  // One import, with the fault (if any) set right before it; checks what
  // every import must leave. The writes of an import are the same each time,
  // so one host serves the whole sweep, except for the tables whose writes
  // depend on what the model holds: adding an equation twice is refused, and
  // a parameter or property that holds the row's value already is not
  // written again. Those imports get a fresh host each.
  std::vector<sim::HostCall> ImportOnce(const Fault* fault) {
    std::optional<sim::SimHost> fresh;
    const std::u16string_view names(GetParam().tables);
    const bool dependsOnModel = names.find(u"Equation") != npos ||
                                names.find(u"Parameter") != npos || names.find(u"property") != npos;
    if (!shared_ || dependsOnModel) {
      sim::SimHost& opened = shared_ ? fresh.emplace() : shared_.emplace();
      opened.Open(dir_ / "models" / GetParam().model);
    }
    sim::SimHost& host = fresh ? *fresh : *shared_;
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host);
    const long objects = host.LiveObjects();
    const long references = host.References();
    host.ClearCalls();
    if (fault) fault->Apply(host);

    int32_t errNumber = 77;
    std::u16string errDescription = u"untouched";
    ScopedBstr tables(GetParam().tables);
    ScopedBstr path(db().u16string());
    HRESULT hr = UpdateTables(application.Get(), tables.Get(), path.Get(), u"Harbolt.Harbolt.1",
                              errNumber, errDescription);
    std::vector<sim::HostCall> calls = host.Calls();
    host.ClearFaults();

    EXPECT_EQ(objects, host.LiveObjects()) << "host objects left alive";
    EXPECT_EQ(references, host.References()) << "host references left";
    EXPECT_FALSE(ShowsRuntimeFault(errDescription)) << Utf8(errDescription);
    EXPECT_EQ(bytes_, testing_support::ReadFile(db())) << "the import changed the database";

    if (!fault) {
      EXPECT_EQ(S_OK, hr) << "the clean import failed: " << errNumber << " "
                          << Utf8(errDescription);
      // The clean import wrote to the model: some host setter was called.
      EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const sim::HostCall& call) {
        const std::string method = call.operation.substr(call.operation.find('.') + 1);
        return method.rfind("Set", 0) == 0 || method.rfind("put_", 0) == 0 || method == "Add2" ||
               method == "Delete";
      })) << "the clean import wrote nothing";
      return calls;
    }

    const std::string operation = fault->operation();
    if (hr == S_OK) {
      EXPECT_EQ(77, errNumber);
      EXPECT_EQ(u"untouched", errDescription);
      if (fault->failing() && !HitsRootComponentName(*fault, calls)) {
        ADD_FAILURE() << "a failing host call passed for a complete import";
      }
    } else if (hr == S_FALSE) {
      if (errNumber == 0 && errDescription.empty()) {
        // The documented failures without a message: an item the model
        // does not have (what an empty answer looks like), or the failing
        // calls named above.
        if (fault->failing()) {
          EXPECT_TRUE(FailsWithoutMessage(operation, fault->occurrence()))
              << "a failing host call gave no message";
        }
      } else {
        EXPECT_EQ(-1, errNumber);
        EXPECT_FALSE(errDescription.empty());
        if (fault->failing()) {
          EXPECT_TRUE(fault->CarriedBy(errDescription))
              << "not a clear error: " << Utf8(errDescription);
        }
      }
    } else {
      ADD_FAILURE() << "unexpected result " << std::hex << hr << " " << Utf8(errDescription);
    }
    descriptions_.insert(Utf8(errDescription));
    return calls;
  }

  testing_support::TempDir dir_;
  ScratchDir scratch_;
  testing_support::ScopedEnv drive_;
  static constexpr size_t npos = std::u16string_view::npos;
  std::string bytes_;
  std::set<std::string> descriptions_;
  std::optional<sim::SimHost> shared_;
};

TEST_P(ImportSweepTest, EveryHostCallOfTheStepFailsInTurn) {
  ASSERT_NO_FATAL_FAILURE(PrepareDatabase());
  Sweep sweep(std::string("import ") + Utf8(GetParam().tables) + " into " + GetParam().model);
  EXPECT_GT(sweep.Run([&](const Fault* fault) { return ImportOnce(fault); }), 0u);
  if (getenv("HARBOLT_SWEEP_VERBOSE")) {
    for (const std::string& text : descriptions_) std::printf("  %s\n", text.c_str());
  }
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
        ImportCase{"Gearbox.SLDDRW", u"Feature,Equation,Config"}),
    [](const ::testing::TestParamInfo<ImportCase>& info) {
      std::string model = info.param.model;
      std::string tables = Utf8(info.param.tables);
      if (tables.find(',') != std::string::npos) tables = "Several";
      return model.substr(0, model.find('.')) + "_" + model.substr(model.find('.') + 1) + "_" +
             tables;
    });

}  // namespace
}  // namespace reliability
