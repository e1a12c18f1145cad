#include "tests/reliability/fault_sweep.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <numeric>
#include <stdexcept>

#include "platform/format.h"
#include "platform/text.h"

namespace reliability {

HRESULT Fault::code() const {
  return std::array{kInjectedFailure, DISP_E_MEMBERNOTFOUND, DISP_E_TYPEMISMATCH}[int(kind)];
}

bool Fault::CarriedBy(std::u16string_view description) const {
  const std::u16string text =
      platform::FormatWide(platform::kUnlimited, u"0x%08x", static_cast<uint32_t>(code()));
  return platform::AsciiLower(description).find(text) != std::u16string::npos;
}

std::string Fault::ToString() const {
  return std::array{"exception ", "missing ", "empty "}[int(kind)] + site;
}

void Fault::Apply(sim::SimHost& host) const {
  failing() ? host.FailCall(site, code()) : host.EmptyCall(site);
}

std::vector<std::string> CallSites(const std::vector<sim::HostCall>& calls) {
  std::vector<std::string> sites;
  std::map<std::string, int> seen;
  for (const sim::HostCall& call : calls) {
    sites.push_back(call.operation + "#" + std::to_string(++seen[call.operation]));
  }
  return sites;
}

bool HitsRootComponentName(const Fault& fault, const std::vector<sim::HostCall>& calls) {
  if (fault.operation() != "IComponent2.Name2") return false;
  const std::vector<std::string> sites = CallSites(calls);
  const auto hit = std::find(sites.begin(), sites.end(), fault.site);
  if (hit == sites.end()) return false;
  // The journal names a root component as it names its configuration.
  const std::u16string& component = calls[hit - sites.begin()].target;
  return std::any_of(calls.begin(), calls.end(), [&](const sim::HostCall& call) {
    return call.operation == "IConfiguration.GetRootComponent3" && call.target == component;
  });
}

size_t Sweep::Run(const RunOnce& run) {
  const std::vector<std::string> sites = [&] {
    SCOPED_TRACE(name_ + ": clean run");
    return CallSites(run(nullptr));
  }();
  if (::testing::Test::HasFatalFailure()) return 0;
  EXPECT_FALSE(sites.empty()) << name_ << " made no host call";
  for (const std::string& site : sites) {
    for (FaultKind kind :
         {FaultKind::kException, FaultKind::kMissingMember, FaultKind::kEmptyAnswer}) {
      const Fault fault{site, kind};
      SCOPED_TRACE(name_ + ": " + fault.ToString());
      const std::vector<sim::HostCall> calls = run(&fault);
      // The runs are deterministic up to the fault: it must be reached.
      const std::vector<std::string> reached = CallSites(calls);
      EXPECT_NE(reached.end(), std::find(reached.begin(), reached.end(), site))
          << "the call site was not reached";
      if (::testing::Test::HasFatalFailure()) return sites.size();
    }
  }
  std::printf("[fault sweep] %s: %zu call sites\n", name_.c_str(), sites.size());
  return sites.size();
}

ScratchDir::ScratchDir() {
  for (std::filesystem::path base :
       {std::filesystem::path("/dev/shm"), std::filesystem::temp_directory_path()}) {
    std::string pattern = (base / "harbolt-sweep-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
      path_ = pattern;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch directory");
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

long DatabaseContent::TotalRows() const {
  return std::accumulate(rowCounts.begin(), rowCounts.end(), 0L);
}

DatabaseContent ReadDatabase(const std::filesystem::path& path) {
  DatabaseContent content;
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return content;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return content;
  }
  auto query = [&](const std::string& sql, auto&& onRow) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return false;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) onRow(statement);
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
  };
  content.readable =
      query("select name from sqlite_master where type='table' order by name", [&](auto* row) {
        content.tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(row, 0)));
      });
  for (const std::string& table : content.tables) {
    long count = -1;
    query("select count(*) from \"" + table + "\"",
          [&](auto* row) { count = sqlite3_column_int(row, 0); });
    content.rowCounts.push_back(count);
  }
  sqlite3_close(db);
  return content;
}

bool ShowsRuntimeFault(std::u16string_view description) {
  for (std::u16string_view mark :
       {u"EXCEPTION_", u"unspecified Structed exception.", u"In _purecall_handler.",
        u"call function error.", u"Expression: "}) {
    if (description.find(mark) != std::u16string_view::npos) return true;
  }
  return false;
}

std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

}  // namespace reliability
