// Calling an object late-bound, as a caller written against IDispatch does;
// the tests use the same helpers as the command-line caller (see
// tools/automation/dispatch_call.h).
//
//   Call(disp, u"SetCaxHandle", {Arg(u"h")});
//   ScopedVariant status;
//   Call(disp, u"ToolbarEnableAll", {}, status.Receive());
//   LONG number = LongProperty(disp, u"errNumber");
//   EXPECT_EQ(E_INVALIDARG, CallMember(disp, u"SetDD", {Arg(u"")}));  // the member's status
#pragma once

#include "tools/automation/dispatch_call.h"

namespace testing_support {

using automation::Arg;
using automation::Call;
using automation::CallMember;
using automation::CallDetails;
using automation::DispIdOf;
using automation::GetProperty;
using automation::Invoke;
using automation::LongProperty;
using automation::TextProperty;

}  // namespace testing_support
