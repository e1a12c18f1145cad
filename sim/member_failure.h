// The failure of a published member of the simulated host, as the real host
// fails: Invoke reports it as DISP_E_EXCEPTION, with the code and the text in
// EXCEPINFO.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/text.h"
#include "platform/win_types.h"

namespace sim {

class MemberFailure : public std::runtime_error {
 public:
  MemberFailure(HRESULT code, std::u16string description)
      : std::runtime_error(platform::Utf16ToUtf8(description)),
        code_(code),
        description_(std::move(description)) {}

  HRESULT code() const { return code_; }
  const std::u16string& description() const { return description_; }

 private:
  HRESULT code_;
  std::u16string description_;
};

}  // namespace sim
