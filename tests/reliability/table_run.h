// An export or an import as the add-in runs it against the simulated host,
// with what every run must leave checked (no host object or reference kept,
// no run-time fault caught), and a fixture around it.
#pragma once

#include <gtest/gtest.h>

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

// What a run gave: the error number and description start as 77 and
// "untouched", so that a run that leaves them shows; comError is the COM
// error's text after E_HARBOLT_EXCEPTION.
struct TableRun {
  HRESULT hr = S_OK;
  int32_t errNumber = 77;
  std::u16string errDescription = u"untouched";
  std::u16string comError;
};

inline std::u16string ComErrorText() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return {};
  ScopedBstr text;
  info->GetDescription(text.Receive());
  return text.Str();
}

// Runs the export (import: no dictionary) with the host's counts checked.
inline TableRun RunTables(sim::SimHost& host, const Dovbase::XmlDocument* dictionary,
                          std::u16string_view tables, std::u16string_view db,
                          const std::u16string& workDir = {},
                          int busyTimeoutMs = DbConnection::kDefaultBusyTimeoutMs) {
  ComPtr<IHostApplication> application = testing_support::BoundApplication(host);
  const long objects = host.LiveObjects();
  const long references = host.References();
  ScopedBstr bsTables(tables);
  ScopedBstr bsPath(db);
  TableRun run;
  run.hr =
      dictionary
          ? RefreshTables(application.Get(), *dictionary, workDir, bsTables.Get(), bsPath.Get(),
                          u"Harbolt.Harbolt.1", run.errNumber, run.errDescription, busyTimeoutMs)
          : UpdateTables(application.Get(), bsTables.Get(), bsPath.Get(), u"Harbolt.Harbolt.1",
                         run.errNumber, run.errDescription, busyTimeoutMs);
  if (run.hr == Dovbase::E_HARBOLT_EXCEPTION) run.comError = ComErrorText();
  EXPECT_EQ(objects, host.LiveObjects()) << "host objects left alive";
  EXPECT_EQ(references, host.References()) << "host references left";
  EXPECT_FALSE(ShowsRuntimeFault(run.errDescription)) << Utf8(run.errDescription);
  EXPECT_FALSE(ShowsRuntimeFault(run.comError)) << Utf8(run.comError);
  return run;
}

// Whether any of the calls wrote to the model.
inline bool WritesModel(const std::vector<sim::HostCall>& calls) {
  for (const sim::HostCall& call : calls) {
    const std::string method = call.operation.substr(call.operation.find('.') + 1);
    if (method.rfind("Set", 0) == 0 || method.rfind("put_", 0) == 0 || method == "Add2" ||
        method == "Delete") {
      return true;
    }
  }
  return false;
}

// A host, the sample dictionary, a drive for the log; Export and Import
// keep their run in run_.
class TableTest : public ::testing::Test {
 protected:
  TableTest() : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()) {
    SetDictionary(testing_support::ReadFile(Sample("dictionary.xml")));
  }
  bool SetDictionary(const std::string& xml) {
    return dictionary_.parse(platform::Utf8ToUtf16(xml)) == 0;
  }
  HRESULT Export(std::u16string_view tables, std::u16string_view db,
                 const std::u16string& workDir = {},
                 int busyTimeoutMs = DbConnection::kDefaultBusyTimeoutMs) {
    run_ = RunTables(host_, &dictionary_, tables, db, workDir, busyTimeoutMs);
    return run_.hr;
  }
  HRESULT Import(std::u16string_view tables, std::u16string_view db,
                 int busyTimeoutMs = DbConnection::kDefaultBusyTimeoutMs) {
    host_.ClearCalls();
    run_ = RunTables(host_, nullptr, tables, db, {}, busyTimeoutMs);
    return run_.hr;
  }
  // A file of the test directory, as the caller names it.
  std::u16string Db(const std::string& name) const { return (dir_ / name).u16string(); }
  // Whether the last import wrote to the model.
  bool ModelWritten() const { return WritesModel(host_.Calls()); }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv drive_;
  Dovbase::XmlDocument dictionary_;
  sim::SimHost host_;
  TableRun run_;
};

}  // namespace reliability
