// Every host call of every table of an export made to fail in turn: no crash,
// a clear report, every host object released, and all of the export or none.
#include <algorithm>
#include <sstream>

#include "tests/reliability/table_run.h"

namespace reliability {
namespace {

struct ExportCase {
  const char* model;
  const char16_t* table;
};

// The case as ctest lists it, "Feature of Housing.SLDPRT".
void PrintTo(const ExportCase& c, std::ostream* out) {
  *out << platform::Utf16ToUtf8(c.table) << " of " << c.model;
}

class ExportSweepTest : public TableTest, public ::testing::WithParamInterface<ExportCase> {
 protected:
  ExportSweepTest() {
    std::filesystem::create_directories(scratch_ / "work");
    host_.Open(Sample(GetParam().model));
    std::istringstream list(Utf8(GetParam().table));
    for (std::string table; std::getline(list, table, ',');) stored_.push_back("DADU_3_" + table);
    std::sort(stored_.begin(), stored_.end());
  }

  // The export only reads the model, so one host serves every case.
  std::vector<sim::HostCall> ExportOnce(const Fault* fault) {
    const std::filesystem::path db = scratch_ / "sweep.db";
    host_.ClearCalls();
    if (fault) fault->Apply(host_);
    const HRESULT hr = Export(GetParam().table, db.u16string(), (scratch_ / "work").u16string());
    std::vector<sim::HostCall> calls = host_.Calls();
    host_.ClearFaults();
    const DatabaseContent content = ReadDatabase(db);
    const bool failing = fault && fault->failing();
    if (hr == S_OK) {
      // The whole export: committed, with its tables and every row. Only a
      // component's preview picture (an extra) and the root component's
      // name (read as the empty name it has anyway) may fail unnoticed.
      EXPECT_EQ(77, run_.errNumber);
      EXPECT_EQ(u"untouched", run_.errDescription);
      EXPECT_TRUE(content.readable);
      EXPECT_EQ(stored_, content.tables);
      EXPECT_FALSE(failing && fault->operation() != "ISldWorks.GetPreviewBitmap" &&
                   !HitsRootComponentName(*fault, calls))
          << "a failing host call passed for a complete export";
      if (!fault) cleanRows_ = content.TotalRows();
      EXPECT_TRUE(!failing || cleanRows_ == content.TotalRows()) << "rows missing";
    } else {
      // None of it, and a clear error (a text or a COM error) that carries
      // the host's own code.
      EXPECT_TRUE(content.tables.empty()) << content.tables.size() << " tables left behind";
      EXPECT_NE(nullptr, fault) << "the clean export failed: " << Utf8(run_.errDescription);
      const bool text = hr == S_FALSE;
      EXPECT_EQ(text ? S_FALSE : Dovbase::E_HARBOLT_EXCEPTION, hr);
      EXPECT_EQ(text ? -1 : 77, run_.errNumber);
      const std::u16string& error = text ? run_.errDescription : run_.comError;
      EXPECT_FALSE(error.empty());
      EXPECT_TRUE(!failing || fault->CarriedBy(error)) << "not a clear error: " << Utf8(error);
    }
    std::error_code ignored;
    std::filesystem::remove(db, ignored);
    return calls;
  }

  ScratchDir scratch_;
  std::vector<std::string> stored_;
  long cleanRows_ = 0;
};

TEST_P(ExportSweepTest, EveryHostCallOfTheTableFailsInTurn) {
  Sweep sweep("export " + Utf8(GetParam().table) + " of " + GetParam().model);
  EXPECT_GT(sweep.Run([&](const Fault* fault) { return ExportOnce(fault); }), 0u);
}

// Every table of a part, an assembly (components, their parameters and
// properties through the component tree) and a drawing.
std::vector<ExportCase> Tables() {
  std::vector<ExportCase> cases;
  for (const char* model : {"Housing.SLDPRT", "Gearbox.SLDASM", "Gearbox.SLDDRW"}) {
    for (const char16_t* table : {u"Feature", u"Dimension", u"Parameter", u"Componen", u"Equation",
                                  u"Config", u"property"}) {
      cases.push_back({model, table});
    }
  }
  cases.push_back({"Housing.SLDPRT", u"Feature,Dimension,Parameter,Equation,Config,property"});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Tables, ExportSweepTest, ::testing::ValuesIn(Tables()));

}  // namespace
}  // namespace reliability
