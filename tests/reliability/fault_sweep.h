// The fault sweeps: run an operation once against the simulated host, take
// every host call it made as a call site ("Operation#n", the n-th call of
// that published operation), then run it again once per call site and fault
// kind with that one call failing. The run function sets the fault (when
// given) right before the operation, checks what it left (a failure names
// the case through SCOPED_TRACE) and returns the calls it made.
//
//   Sweep("export Feature of Housing").Run([&](const Fault* fault) { ... });
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"
#include "sim/call_journal.h"
#include "sim/sim_host.h"

namespace reliability {

// The code of the exception the host raises in a failing call: no host API
// uses it, so a text that carries it shows that the host's own code was
// passed on.
constexpr HRESULT kInjectedFailure = MakeHresult(0x8004DEAD);

// How the host lets a call down.
enum class FaultKind {
  kException,      // it raises an exception carrying kInjectedFailure and a text
  kMissingMember,  // it has no such member (DISP_E_MEMBERNOTFOUND)
  kEmptyAnswer,    // it succeeds and answers nothing
};

// One injected fault.
struct Fault {
  std::string site;  // "IFeature.Name#3"
  FaultKind kind;

  // The operation alone: "IFeature.Name".
  std::string operation() const { return site.substr(0, site.find('#')); }
  // The n of "#n".
  int occurrence() const { return std::stoi(site.substr(site.find('#') + 1)); }
  // A failing call, as opposed to an empty answer.
  bool failing() const { return kind != FaultKind::kEmptyAnswer; }
  // The failure the add-in sees: the host's code for a failing call, which
  // a clear error carries; for an empty answer DISP_E_TYPEMISMATCH, as the
  // binding refuses an empty answer where a value was expected (an empty
  // object answer is "no object", no failure).
  HRESULT code() const;
  // Whether a description carries that code ("0x8004DEAD", any letter case).
  bool CarriedBy(std::u16string_view description) const;
  // "exception IFeature.Name#3", "missing IFeature.Name#3", "empty IFeature.Name#3".
  std::string ToString() const;
  // Sets the fault on the host.
  void Apply(sim::SimHost& host) const;
};

// Every call of a run as a call site, in call order: "Op#1", "Op#2", ... per
// operation.
std::vector<std::string> CallSites(const std::vector<sim::HostCall>& calls);

// Whether the fault hit the name of an assembly's root component, the one a
// configuration's GetRootComponent3 answers. The root stands for the
// assembly itself: when the host refuses it a name it reads as the empty
// name it has anyway, and the run is complete.
bool HitsRootComponentName(const Fault& fault, const std::vector<sim::HostCall>& calls);

class Sweep {
 public:
  // One run of the operation; null fault for the clean run. Returns the
  // host calls the operation made.
  using RunOnce = std::function<std::vector<sim::HostCall>(const Fault* fault)>;

  explicit Sweep(std::string name) : name_(std::move(name)) {}

  // The clean run, then every call site with each fault kind. Stops at the
  // first case that failed a fatal assertion. Returns the number of call
  // sites swept.
  size_t Run(const RunOnce& run);

 private:
  std::string name_;
};

// A fresh directory for the databases of a sweep, removed at the end: in
// memory (/dev/shm) where there is one, as a sweep writes thousands.
class ScratchDir {
 public:
  ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir();
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// What a database file holds: the names of its tables and each table's row
// count. A missing file holds nothing.
struct DatabaseContent {
  bool exists = false;
  bool readable = false;
  std::vector<std::string> tables;
  std::vector<long> rowCounts;  // per table, same order
  long TotalRows() const;
};
DatabaseContent ReadDatabase(const std::filesystem::path& path);

// A description that shows a run-time fault turned into an exception by the
// fault handlers: in a sweep that is a crash the handlers happened to catch.
bool ShowsRuntimeFault(std::u16string_view description);

std::string Utf8(std::u16string_view text);

}  // namespace reliability
