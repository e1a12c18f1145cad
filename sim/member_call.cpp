#include "sim/member_call.h"

#include "platform/text.h"

namespace sim {
namespace {

constexpr char16_t kSource[] = u"Simulated host";

// The failures that Invoke itself reports, not as a member's exception.
bool IsInvokeFailure(HRESULT code) {
  return code == DISP_E_MEMBERNOTFOUND || code == DISP_E_UNKNOWNNAME ||
         code == DISP_E_TYPEMISMATCH || code == DISP_E_BADPARAMCOUNT ||
         code == DISP_E_PARAMNOTFOUND;
}

}  // namespace

HRESULT ReportException(EXCEPINFO* exception, HRESULT code, std::u16string_view description) {
  if (exception) {
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(kSource);
    exception->bstrDescription =
        SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
    exception->scode = code;
  }
  return DISP_E_EXCEPTION;
}

std::optional<HRESULT> MemberCall::Journal(std::vector<std::u16string> arguments) {
  std::string operation = OperationName(object_.Published(), member_);
  std::optional<HRESULT> outcome =
      host_.journal.Enter(operation, object_.JournalTarget(), std::move(arguments));
  if (!outcome || *outcome == S_OK || IsInvokeFailure(*outcome)) return outcome;
  return ReportException(exception_, *outcome,
                         platform::Utf8ToUtf16(operation) + u" failed in the simulated host");
}

}  // namespace sim
