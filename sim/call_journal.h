// The simulated host's journal of host operations: it records every call
// that reaches a published member, in order, with its target and arguments,
// and decides which calls fail because a test asked for it.
//
// Operations are named by the published face, "Interface.Member" for a
// method or a property get ("IModelDoc2.GetTitle", "IFeature.Name") and
// "Interface.put_Member" for a put ("IFeature.put_Description"), plus
// "IConnectionPointContainer.FindConnectionPoint", "IConnectionPoint.Advise"
// and "IConnectionPoint.Unadvise"; KnownOperations() lists them. A fault is
// given as "Operation#n" (the n-th call of that operation after the fault
// was set, counting from 1) or "Operation" (or "Operation#*": every call).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace sim {

struct HostCall {
  std::string operation;                  // "ICustomPropertyManager.Add2"
  std::u16string target;                  // the object called, e.g. "Plate.SLDPRT:Default"
  std::vector<std::u16string> arguments;  // each argument as text: "7", "2.5", the text, "out"
  // "operation target(arg, arg)" in UTF-8.
  std::string ToString() const;
};

// How an injected fault shows.
enum class FaultKind {
  kFail,   // the call fails with the given HRESULT
  kEmpty,  // the call succeeds without doing anything: no answer, no out-parameter
};

std::vector<std::string> KnownOperations();
bool IsKnownOperation(std::string_view operation);

class CallJournal {
 public:
  // Records the call and counts it for the faults. Returns nothing when the
  // call goes ahead, or the HRESULT of the fault that hits it (S_OK for an
  // empty call), and then the call must do nothing.
  std::optional<HRESULT> Enter(std::string_view operation, std::u16string target,
                               std::vector<std::u16string> arguments);

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
