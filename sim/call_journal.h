// The simulated host's journal of host operations: it records every call
// the add-in makes, in order, with its target and arguments, and decides
// which calls fail because a test asked for it.
//
// Operations are named "Interface.Method", for instance
// "IHostModelDoc.GetTitle" or "IHostCustomPropertyManager.Add2"; the known
// names are listed by KnownOperations(). A fault is given as
// "Interface.Method#n" (the n-th call of that operation after the fault was
// set, counting from 1) or "Interface.Method" (every call).
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/format.h"
#include "platform/win_types.h"

namespace sim {

struct HostCall {
  std::string operation;                  // "IHostCustomPropertyManager.Add2"
  std::u16string target;                  // the object called, e.g. "Plate.SLDPRT:Default"
  std::vector<std::u16string> arguments;  // each argument as text: "%d", "%g", the text
  // "operation target(arg, arg)" in UTF-8.
  std::string ToString() const;
};

// How an injected fault shows.
enum class FaultKind {
  kFail,   // the call returns the given failing HRESULT
  kEmpty,  // the call returns S_OK without doing anything: no object, null text, 0
};

// Every operation of the host interfaces, "Interface.Method".
std::span<const char* const> KnownOperations();
bool IsKnownOperation(std::string_view operation);

class CallJournal {
 public:
  // Records the call and counts it for the faults. Returns nothing when the
  // call goes ahead, or the HRESULT it must return instead (S_OK for an
  // empty result), having done nothing.
  std::optional<HRESULT> Enter(std::string_view operation, std::u16string target,
                               std::initializer_list<platform::FormatArg> arguments);

  // Throws std::invalid_argument for a malformed fault text or an unknown
  // operation.
  void AddFault(std::string_view faultText, FaultKind kind, HRESULT failure);
  void ClearFaults() { faults_.clear(); }

  // Neither recording nor holding a fault: Enter would do nothing.
  bool Idle() const { return !recording_ && faults_.empty(); }
  bool recording() const { return recording_; }

  const std::vector<HostCall>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  void SetRecording(bool on) { recording_ = on; }

 private:
  struct Fault {
    std::string operation;
    int occurrence;  // 0: every call
    FaultKind kind;
    HRESULT failure;
    int seen = 0;
  };
  std::vector<HostCall> calls_;
  std::vector<Fault> faults_;
  bool recording_ = true;
};

}  // namespace sim
