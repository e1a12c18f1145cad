// The fault sweeps: run an operation once, take every host call it made as a
// call site ("Operation#n"), then run it once per call site and fault kind with
// that call failing; the run function sets the fault (if any) right before the
// operation, checks what it left and returns the calls it made.
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

// A failing host call's code: no host API uses it, so a text with it passes the host's on.
constexpr HRESULT kInjectedFailure = MakeHresult(0x8004DEAD);

// How the host lets a call down: an exception carrying kInjectedFailure, no
// such member (DISP_E_MEMBERNOTFOUND), or success with an empty answer.
enum class FaultKind { kException, kMissingMember, kEmptyAnswer };

struct Fault {
  std::string site;  // "IFeature.Name#3"
  FaultKind kind;

  std::string operation() const { return site.substr(0, site.find('#')); }
  int occurrence() const { return std::stoi(site.substr(site.find('#') + 1)); }
  bool failing() const { return kind != FaultKind::kEmptyAnswer; }
  // The failure the add-in sees: the host's code for a failing call; for an
  // empty answer DISP_E_TYPEMISMATCH, as the binding refuses an empty answer
  // where a value was expected (an empty object answer is "no object").
  HRESULT code() const;
  // Whether a description carries that code ("0x8004DEAD", any letter case).
  bool CarriedBy(std::u16string_view description) const;
  std::string ToString() const;  // "exception IFeature.Name#3"
  void Apply(sim::SimHost& host) const;
};

std::vector<std::string> CallSites(const std::vector<sim::HostCall>& calls);

// Whether the fault hit the name of an assembly's root component (the one a
// configuration's GetRootComponent3 answers): refused, it reads as the empty
// name it has anyway, and the run is complete.
bool HitsRootComponentName(const Fault& fault, const std::vector<sim::HostCall>& calls);

class Sweep {
 public:
  // One run of the operation (null fault: the clean run); returns its host calls.
  using RunOnce = std::function<std::vector<sim::HostCall>(const Fault* fault)>;
  explicit Sweep(std::string name) : name_(std::move(name)) {}
  // The clean run, then every call site with each fault kind, up to the first
  // fatal failure. Returns the number of call sites swept.
  size_t Run(const RunOnce& run);

 private:
  std::string name_;
};

// A fresh directory for a sweep's thousands of databases, in /dev/shm if there.
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

// A database file's table names and their row counts (nothing when missing).
struct DatabaseContent {
  bool readable = false;
  std::vector<std::string> tables;
  std::vector<long> rowCounts;  // per table, same order
  long TotalRows() const;
};
DatabaseContent ReadDatabase(const std::filesystem::path& path);

// A description showing a run-time fault the handlers caught: a crash.
bool ShowsRuntimeFault(std::u16string_view description);

std::string Utf8(std::u16string_view text);

}  // namespace reliability
