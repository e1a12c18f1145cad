// Every host call of every table of an export, made to fail in turn (an
// exception of the host, a member it lacks, an empty answer): the export
// never crashes, reports the failure clearly, releases every host object and
// leaves a database with the whole export or none of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/catch_pattern.h"
#include "common/kvx_xml.h"
#include "export/refresh_tables.h"
#include "platform/bstr.h"
#include "platform/error_info.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/reliability/fault_sweep.h"
#include "tests/support/bound_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

// Host calls whose failure the export is meant to survive: the preview
// picture of a component is an extra, and a row without it is complete.
bool IsOptionalCall(const std::string& operation) {
  return operation == "ISldWorks.GetPreviewBitmap";
}

std::u16string ComErrorText() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return {};
  ScopedBstr text;
  info->GetDescription(text.Receive());
  return text.Str();
}

std::vector<std::u16string> SplitNames(std::u16string_view list) {
  std::vector<std::u16string> names;
  for (size_t start = 0; start <= list.size();) {
    size_t comma = std::min(list.find(u',', start), list.size());
    names.emplace_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

struct ExportCase {
  const char* model;
  const char16_t* table;
};

class ExportSweepTest : public ::testing::TestWithParam<ExportCase> {
 protected:
  ExportSweepTest() : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()) {
    std::filesystem::create_directories(scratch_ / "work");
    dictionary_.parse(platform::Utf8ToUtf16(
        testing_support::ReadFile(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "dictionary.xml")));
    host_.Open(std::filesystem::path(HARBOLT_SAMPLE_DIR) / GetParam().model);
  }

  // One export of the table, with the fault (if any) set right before it;
  // checks what every export must leave. The export only reads the model, so
  // one host serves every case of a sweep.
  std::vector<sim::HostCall> ExportOnce(const Fault* fault) {
    const std::filesystem::path db = scratch_ / "sweep.db";
    sim::SimHost& host = host_;
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host);
    const long objects = host.LiveObjects();
    const long references = host.References();
    host.ClearCalls();
    if (fault) fault->Apply(host);

    int32_t errNumber = 77;
    std::u16string errDescription = u"untouched";
    ScopedBstr tables(GetParam().table);
    ScopedBstr path(db.u16string());
    const std::u16string workDir = (scratch_ / "work").u16string();
    HRESULT hr = RefreshTables(application.Get(), dictionary_, workDir, tables.Get(), path.Get(),
                               u"Harbolt.Harbolt.1", errNumber, errDescription);
    const std::u16string comError = hr == Dovbase::E_HARBOLT_EXCEPTION ? ComErrorText() : u"";
    std::vector<sim::HostCall> calls = host.Calls();
    host.ClearFaults();

    EXPECT_EQ(objects, host.LiveObjects()) << "host objects left alive";
    EXPECT_EQ(references, host.References()) << "host references left";
    EXPECT_FALSE(ShowsRuntimeFault(errDescription)) << Utf8(errDescription);
    EXPECT_FALSE(ShowsRuntimeFault(comError)) << Utf8(comError);

    const DatabaseContent content = ReadDatabase(db);
    std::vector<std::string> stored;
    for (const std::u16string& name : SplitNames(GetParam().table)) {
      stored.push_back("DADU_3_" + Utf8(name));
    }
    std::sort(stored.begin(), stored.end());
    if (hr == S_OK) {
      // The whole export: committed, with its table.
      EXPECT_EQ(77, errNumber);
      EXPECT_EQ(u"untouched", errDescription);
      EXPECT_TRUE(content.readable);
      EXPECT_EQ(stored, content.tables);
      if (fault && fault->failing() && !IsOptionalCall(fault->operation()) &&
          !HitsRootComponentName(*fault, calls)) {
        ADD_FAILURE() << "a failing host call passed for a complete export";
      }
      if (!fault) cleanRows_ = content.TotalRows();
      if (fault && fault->failing()) {
        EXPECT_EQ(cleanRows_, content.TotalRows());
      }
    } else {
      // None of it: the database holds no table.
      EXPECT_TRUE(content.tables.empty()) << content.tables.size() << " tables left behind";
      EXPECT_NE(nullptr, fault) << "the clean export failed: " << Utf8(errDescription);
      if (hr == S_FALSE) {
        EXPECT_EQ(-1, errNumber);
        EXPECT_FALSE(errDescription.empty());
        if (fault && fault->failing()) {
          // A clear error: it carries the host's own failure code.
          EXPECT_TRUE(fault->CarriedBy(errDescription)) << Utf8(errDescription);
        }
      } else {
        EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, hr);
        EXPECT_EQ(77, errNumber);
        EXPECT_FALSE(comError.empty());
        if (fault && fault->failing()) {
          EXPECT_TRUE(fault->CarriedBy(comError)) << Utf8(comError);
        }
      }
    }
    std::error_code ignored;
    std::filesystem::remove(db, ignored);
    return calls;
  }

  testing_support::TempDir dir_;
  ScratchDir scratch_;
  testing_support::ScopedEnv drive_;
  Dovbase::XmlDocument dictionary_;
  sim::SimHost host_;
  long cleanRows_ = 0;
};

TEST_P(ExportSweepTest, EveryHostCallOfTheTableFailsInTurn) {
  const ExportCase param = GetParam();
  Sweep sweep(std::string("export ") + Utf8(param.table) + " of " + param.model);
  EXPECT_GT(sweep.Run([&](const Fault* fault) { return ExportOnce(fault); }), 0u);
}

// Every table of each document type that writes it: a part, an assembly
// (components, their parameters and properties through the component tree)
// and a drawing.
INSTANTIATE_TEST_SUITE_P(
    Tables, ExportSweepTest,
    ::testing::Values(
        ExportCase{"Housing.SLDPRT", u"Feature"}, ExportCase{"Housing.SLDPRT", u"Dimension"},
        ExportCase{"Housing.SLDPRT", u"Parameter"}, ExportCase{"Housing.SLDPRT", u"Equation"},
        ExportCase{"Housing.SLDPRT", u"Config"}, ExportCase{"Housing.SLDPRT", u"property"},
        ExportCase{"Housing.SLDPRT", u"Componen"},
        ExportCase{"Housing.SLDPRT", u"Feature,Dimension,Parameter,Equation,Config,property"},
        ExportCase{"Gearbox.SLDASM", u"Feature"}, ExportCase{"Gearbox.SLDASM", u"Dimension"},
        ExportCase{"Gearbox.SLDASM", u"Parameter"}, ExportCase{"Gearbox.SLDASM", u"Componen"},
        ExportCase{"Gearbox.SLDASM", u"Equation"}, ExportCase{"Gearbox.SLDASM", u"Config"},
        ExportCase{"Gearbox.SLDASM", u"property"}, ExportCase{"Gearbox.SLDDRW", u"Feature"},
        ExportCase{"Gearbox.SLDDRW", u"Dimension"}, ExportCase{"Gearbox.SLDDRW", u"Parameter"},
        ExportCase{"Gearbox.SLDDRW", u"Componen"}, ExportCase{"Gearbox.SLDDRW", u"Equation"},
        ExportCase{"Gearbox.SLDDRW", u"Config"}, ExportCase{"Gearbox.SLDDRW", u"property"}),
    [](const ::testing::TestParamInfo<ExportCase>& info) {
      std::string model = info.param.model;
      std::string tables = Utf8(info.param.table);
      std::replace(tables.begin(), tables.end(), ',', '_');
      return model.substr(0, model.find('.')) + "_" + model.substr(model.find('.') + 1) + "_" +
             tables;
    });

}  // namespace
}  // namespace reliability
