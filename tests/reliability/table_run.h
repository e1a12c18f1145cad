// An export or an import run against the simulated host, with what every run
// must leave checked (no host object or reference kept, no run-time fault).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/catch_pattern.h"
#include "common/kvx_xml.h"
#include "export/refresh_tables.h"
#include "import/update_tables.h"
#include "platform/bstr.h"
#include "platform/error_info.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/reliability/fault_sweep.h"
#include "tests/support/bound_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace reliability {

inline std::filesystem::path Sample(const std::string& name) {
  return std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}

constexpr char16_t kAllTables[] = u"Feature,Dimension,Parameter,Componen,Equation,Config,property";

// What a run gave; the error number and description start as 77 and
// "untouched" so that a run that leaves them shows. comError: the COM error's
// text after E_HARBOLT_EXCEPTION.
struct TableRun {
  HRESULT hr = S_OK;
  int32_t errNumber = 77;
  std::u16string errDescription = u"untouched";
  std::u16string comError;
};

// Runs the export (import: no dictionary) with the host's counts checked.
inline TableRun RunTables(sim::SimHost& host, const Dovbase::XmlDocument* dictionary,
                          std::u16string_view tables, std::u16string_view db,
                          const std::u16string& workDir = {},
                          int busyTimeoutMs = DbConnection::kDefaultBusyTimeoutMs) {
  ComPtr<IHostApplication> application = testing_support::BoundApplication(host);
  const long objects = host.LiveObjects(), references = host.References();
  ScopedBstr bsTables(tables), bsPath(db);
  TableRun run;
  run.hr =
      dictionary
          ? RefreshTables(application.Get(), *dictionary, workDir, bsTables.Get(), bsPath.Get(),
                          u"Harbolt.Harbolt.1", run.errNumber, run.errDescription, busyTimeoutMs)
          : UpdateTables(application.Get(), bsTables.Get(), bsPath.Get(), u"Harbolt.Harbolt.1",
                         run.errNumber, run.errDescription, busyTimeoutMs);
  ComPtr<IErrorInfo> info;
  if (run.hr == Dovbase::E_HARBOLT_EXCEPTION &&
      GetErrorInfo(0, info.ReleaseAndGetAddressOf()) == S_OK && info) {
    ScopedBstr text;
    info->GetDescription(text.Receive());
    run.comError = text.Str();
  }
  EXPECT_EQ(objects, host.LiveObjects()) << "host objects left alive";
  EXPECT_EQ(references, host.References()) << "host references left";
  EXPECT_FALSE(ShowsRuntimeFault(run.errDescription)) << Utf8(run.errDescription);
  EXPECT_FALSE(ShowsRuntimeFault(run.comError)) << Utf8(run.comError);
  return run;
}

// Whether any of the calls wrote to the model.
inline bool WritesModel(const std::vector<sim::HostCall>& calls) {
  return std::any_of(calls.begin(), calls.end(), [](const sim::HostCall& call) {
    const std::string method = call.operation.substr(call.operation.find('.') + 1);
    return method.rfind("Set", 0) == 0 || method.rfind("put_", 0) == 0 || method == "Add2" ||
           method == "Delete";
  });
}

// A host, the sample dictionary, a drive for the log; the last run in run_.
class TableTest : public ::testing::Test {
 protected:
  TableTest() : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()) {
    SetDictionary(testing_support::ReadFile(Sample("dictionary.xml")));
  }
  bool SetDictionary(const std::string& xml) {
    return dictionary_.parse(platform::Utf8ToUtf16(xml)) == 0;
  }
  HRESULT Export(std::u16string_view tables, std::u16string_view db,
                 const std::u16string& workDir = {}) {
    return (run_ = RunTables(host_, &dictionary_, tables, db, workDir, busyTimeoutMs_)).hr;
  }
  HRESULT Import(std::u16string_view tables, std::u16string_view db) {
    host_.ClearCalls();
    return (run_ = RunTables(host_, nullptr, tables, db, {}, busyTimeoutMs_)).hr;
  }
  std::u16string Db(const std::string& name) const { return (dir_ / name).u16string(); }
  bool ModelWritten() const { return WritesModel(host_.Calls()); }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv drive_;
  Dovbase::XmlDocument dictionary_;
  sim::SimHost host_;
  TableRun run_;
  int busyTimeoutMs_ = DbConnection::kDefaultBusyTimeoutMs;
};

}  // namespace reliability
