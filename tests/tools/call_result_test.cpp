// How the caller words each kind of outcome of an add-in call, most of which
// the real add-in never gives, and the exit status for it.
#include "tools/harbolt/call_result.h"

#include <gtest/gtest.h>

#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

TEST(CallResultTest, TellsEachKindOfOutcomeAndItsExitStatus) {
  const struct {
    HRESULT hr;
    const char16_t* text;  // errDescription (with error -1), or the exception's text
    int status;
    const char* described;
  } cases[] = {
      {kFileOperationFailed, u"CHarbolt::SaveFile():Access is denied. \r\n", kExitFailed,
       "SaveFile returned -1: error -1: CHarbolt::SaveFile():Access is denied."},
      {kHarboltException, u"Unexpected error.\n", kExitException,
       "SaveFile ended with an exception (0x80040200): Unexpected error."},
      {E_NOTIMPL, u"", kExitFailed, "SaveFile is not implemented by this add-in (E_NOTIMPL)"},
      {DISP_E_UNKNOWNNAME, u"", kExitFailed,
       "the add-in has no member SaveFile (DISP_E_UNKNOWNNAME)"},
      {MakeHresult(0x80041234), u"", kExitFailed, "SaveFile failed with 0x80041234"},
  };
  for (const auto& c : cases) {
    CallResult result;
    result.member = u"SaveFile";
    result.hr = c.hr;
    if (c.hr == kFileOperationFailed) result.errorNumber = -1;
    (c.hr == kHarboltException ? result.exceptionText : result.errorDescription) = c.text;
    EXPECT_EQ(c.status, result.ExitStatus()) << c.described;
    EXPECT_EQ(c.described, result.Describe());
  }
  for (const char16_t* member : {u"OpenFile", u"SaveFile", u"GetDependencies", u"UpdateTable"}) {
    EXPECT_TRUE(ReportsErrorState(member));
  }
  EXPECT_FALSE(ReportsErrorState(u"refreshtable"));
}

}  // namespace
}  // namespace harbolt_cli
