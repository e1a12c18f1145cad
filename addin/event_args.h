// The arguments of a host event as a sink reads them: positional, in call
// order, by-reference values followed. The host owns them; nothing read here
// outlives the event call unless the reader takes its own reference.
#pragma once

#include <string>

#include "platform/unknown.h"

namespace harbolt {

class EventArgs {
 public:
  // params may be null (no arguments).
  explicit EventArgs(const DISPPARAMS* params) : params_(params) {}

  UINT count() const { return params_ ? params_->cArgs : 0; }
  // Argument `index` in call order with references followed; null when the
  // event has no such argument.
  const VARIANT* At(UINT index) const;
  // The argument as text; empty when it is missing or does not convert.
  std::u16string Text(UINT index) const;
  // The argument as a 32-bit integer; 0 when it is missing or does not
  // convert.
  LONG Long(UINT index) const;
  // The object of a VT_UNKNOWN or VT_DISPATCH argument, borrowed for the
  // call; null otherwise.
  IUnknown* Object(UINT index) const;

 private:
  const DISPPARAMS* params_;
};

}  // namespace harbolt
