// How the caller tells the outcome of an add-in call, and its exit status.
#include "tools/harbolt/call_result.h"

#include <gtest/gtest.h>

#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

CallResult Result(const char16_t* member, HRESULT hr) {
  CallResult result;
  result.member = member;
  result.hr = hr;
  return result;
}

TEST(CallResultTest, TellsEachKindOfOutcome) {
  CallResult ok = Result(u"RefreshTable", S_OK);
  EXPECT_EQ(kExitOk, ok.ExitStatus());
  EXPECT_EQ("RefreshTable returned S_OK", ok.Describe());

  CallResult failed = Result(u"UpdateTable", S_FALSE);
  failed.errorNumber = -1;
  failed.errorDescription = u"CDbToSld::UpdateEquation():index cross the border";
  EXPECT_EQ(kExitFailed, failed.ExitStatus());
  EXPECT_EQ(
      "UpdateTable returned S_FALSE: error -1: CDbToSld::UpdateEquation():index cross the "
      "border",
      failed.Describe());
  failed.errorNumber = 0;
  failed.errorDescription.clear();
  EXPECT_EQ("UpdateTable returned S_FALSE: error 0: (no description)", failed.Describe());

  CallResult file = Result(u"SaveFile", kFileOperationFailed);
  file.errorNumber = -1;
  file.errorDescription = u"CHarbolt::SaveFile():Access is denied. \r\n";
  EXPECT_EQ(kExitFailed, file.ExitStatus());
  EXPECT_EQ("SaveFile returned -1: error -1: CHarbolt::SaveFile():Access is denied.",
            file.Describe());

  CallResult exception = Result(u"RefreshTable", kHarboltException);
  exception.exceptionText = u"Unexpected error.\n";
  EXPECT_EQ(kExitException, exception.ExitStatus());
  EXPECT_EQ("RefreshTable ended with an exception (0x80040200): Unexpected error.",
            exception.Describe());
  exception.exceptionText.clear();
  EXPECT_EQ("RefreshTable ended with an exception (0x80040200): (no error text)",
            exception.Describe());

  EXPECT_EQ("SaveFile is not implemented by this add-in (E_NOTIMPL)",
            Result(u"SaveFile", E_NOTIMPL).Describe());
  EXPECT_EQ("the add-in has no member Frob (DISP_E_UNKNOWNNAME)",
            Result(u"Frob", DISP_E_UNKNOWNNAME).Describe());
  EXPECT_EQ("SetDD failed with E_INVALIDARG (0x80070057)",
            Result(u"SetDD", E_INVALIDARG).Describe());
  EXPECT_EQ("SetDD failed with 0x80041234", Result(u"SetDD", MakeHresult(0x80041234)).Describe());
  EXPECT_EQ(kExitFailed, Result(u"SetDD", E_FAIL).ExitStatus());
}

TEST(CallResultTest, KnowsWhichMembersReportThroughTheErrorState) {
  for (const char16_t* member : {u"RefreshTable", u"UpdateTable", u"CreateMenu", u"OpenFile",
                                 u"SaveFile", u"GetDependencies"}) {
    EXPECT_TRUE(ReportsErrorState(member));
  }
  EXPECT_FALSE(ReportsErrorState(u"SetDD"));
  EXPECT_FALSE(ReportsErrorState(u"refreshtable"));
  EXPECT_EQ("中文", Printable(u"中文 \r\n\t"));
}

}  // namespace
}  // namespace harbolt_cli
