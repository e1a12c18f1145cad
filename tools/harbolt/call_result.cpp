#include "tools/harbolt/call_result.h"

#include <cstdio>

#include "platform/text.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

struct NamedStatus {
  HRESULT hr;
  const char* name;
};

constexpr NamedStatus kNamedStatuses[] = {
    {E_NOTIMPL, "E_NOTIMPL"},
    {E_NOINTERFACE, "E_NOINTERFACE"},
    {E_POINTER, "E_POINTER"},
    {E_FAIL, "E_FAIL"},
    {E_UNEXPECTED, "E_UNEXPECTED"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
    {E_INVALIDARG, "E_INVALIDARG"},
    {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
    {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
    {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
    {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
};

// The members whose failures set errNumber and errDescription.
constexpr std::u16string_view kReportingMembers[] = {
    u"RefreshTable", u"UpdateTable", u"CreateMenu", u"OpenFile", u"SaveFile", u"GetDependencies",
};

}  // namespace

std::string StatusText(HRESULT hr) {
  if (hr == S_OK) return "S_OK";
  if (hr == S_FALSE) return "S_FALSE";
  if (hr == kFileOperationFailed) return "-1";
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(hr));
  for (const NamedStatus& named : kNamedStatuses) {
    if (named.hr == hr) return std::string(named.name) + " (" + hex + ")";
  }
  return hex;
}

int CallResult::ExitStatus() const {
  if (ok()) return kExitOk;
  return hr == kHarboltException ? kExitException : kExitFailed;
}

std::string CallResult::Describe() const {
  const std::string name = Printable(member);
  if (ok()) return name + " returned S_OK";
  if (hr == kHarboltException) {
    std::string text = Printable(exceptionText);
    return name +
           " ended with an exception (0x80040200): " + (text.empty() ? "(no error text)" : text);
  }
  if (errorNumber) {
    std::string description = Printable(errorDescription);
    return name + " returned " + StatusText(hr) + ": error " + std::to_string(*errorNumber) + ": " +
           (description.empty() ? "(no description)" : description);
  }
  if (hr == E_NOTIMPL) return name + " is not implemented by this add-in (E_NOTIMPL)";
  if (hr == DISP_E_UNKNOWNNAME) return "the add-in has no member " + name + " (DISP_E_UNKNOWNNAME)";
  return name + " failed with " + StatusText(hr);
}

bool ReportsErrorState(std::u16string_view member) {
  for (std::u16string_view reporting : kReportingMembers) {
    if (reporting == member) return true;
  }
  return false;
}

std::string Printable(std::u16string_view text) {
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\n' || text.back() == u'\r' ||
                           text.back() == u'\t')) {
    text.remove_suffix(1);
  }
  return platform::Utf16ToUtf8(text);
}

}  // namespace harbolt_cli
