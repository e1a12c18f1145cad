// One call of a published member through IDispatch::Invoke: its arguments
// in call order, the journal entry and the faults a test set for it, and its
// answer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/unknown.h"
#include "sim/host_state.h"
#include "sim/published_interface.h"
#include "sim/variant_values.h"

namespace sim {

// Fills *exception (when given) with the code, the simulated host as the
// source and the description; returns DISP_E_EXCEPTION, the result of an
// Invoke whose member failed.
HRESULT ReportException(EXCEPINFO* exception, HRESULT code, std::u16string_view description);

class MemberCall {
 public:
  // params holds exactly the member's arguments; result is VT_EMPTY or null.
  MemberCall(HostState& host, PublishedObject& object, const PublishedMember& member,
             const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception, UINT* argErr)
      : host_(host),
        object_(object),
        member_(member),
        params_(params),
        result_(result),
        exception_(exception),
        argErr_(argErr) {}

  // Reads argument number index in call order (a put's value last) into
  // slot; a mismatch, and a by-reference argument that points nowhere,
  // reports the argument's place in DISPPARAMS.
  template <typename Slot>
  HRESULT Read(UINT index, Slot& slot) {
    UINT place = params_.cArgs - 1 - index;
    const VARIANT& argument = params_.rgvarg[place];
    bool nowhere = (argument.vt & VT_BYREF) && !argument.byref;
    HRESULT hr = nowhere ? DISP_E_TYPEMISMATCH : slot.Read(argument);
    if (FAILED(hr) && argErr_) *argErr_ = place;
    return hr;
  }

  // Records the call in the journal (describe() gives the arguments' texts;
  // it is called only when the journal records or holds a fault) and applies
  // the fault set for it. Nothing when the member may run; else what Invoke
  // returns instead, having done nothing (an empty call answers VT_EMPTY).
  template <typename Describe>
  std::optional<HRESULT> Enter(Describe describe) {
    if (host_.journal.Idle()) return std::nullopt;
    return Journal(describe());
  }

  template <typename T>
  void Answer(const T& value) {
    if (result_) WriteValue(result_, value, host_.answerStyle);
  }
  const AnswerStyle& style() const { return host_.answerStyle; }

 private:
  std::optional<HRESULT> Journal(std::vector<std::u16string> arguments);

  HostState& host_;
  PublishedObject& object_;
  const PublishedMember& member_;
  const DISPPARAMS& params_;
  VARIANT* result_;
  EXCEPINFO* exception_;
  UINT* argErr_;
};

}  // namespace sim
