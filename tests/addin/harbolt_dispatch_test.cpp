// IHarbolt as a late-bound caller sees it: names, DISPIDs, type information, Invoke.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/iharbolt.h"
#include "platform/format.h"
#include "platform/shell.h"
#include "platform/type_info.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

using testing_support::CallDetails;
using testing_support::DispIdOf;
using testing_support::Invoke;

class HarboltDispatchTest : public ConnectedTest {};

TEST_F(HarboltDispatchTest, TypeInformationListsTheMembersInTableOrder) {
  UINT count = 0;
  ASSERT_EQ(S_OK, harbolt()->GetTypeInfoCount(&count));
  ASSERT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, harbolt()->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.ReleaseAndGetAddressOf()));
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
  EXPECT_EQ(IidOf<IHarbolt>(), attr->guid);
  EXPECT_EQ(125, attr->cFuncs);
  EXPECT_EQ(TYPEFLAG_FDUAL, attr->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attr);
  // The table: DISPIDs 4 to 8, 21 to 38, 100 to 199, then 51 and 50.
  std::vector<std::u16string> names = platform::SplitShellWords(
      u"ToolbarEnableAll ToolbarEnablePart ToolbarEnableAsm ToolbarEnableDwg ToolbarEnablePartAsm "
      u"CreateMenu SetParamValue GetParamValue RefreshTable SetDD SetCaller Disconnect UpdateTable "
      u"GetHWND SetEventSrc SetCaxHandle errNumber errDescription SetWorkDir OpenFile SaveFile "
      u"ConnIsValid GetDependencies");
  std::vector<DISPID> ids = {4, 5, 6, 7, 8};
  for (DISPID n = 21; n <= 38; ++n) ids.push_back(n);
  for (DISPID n = 100; n <= 199; ++n) {
    names.push_back(platform::FormatWide(64, u"ToolbarCallback%d", n));
    ids.push_back(n);
  }
  names.insert(names.end(), {u"ToolbarEnable0", u"ToolbarCallback0"});
  ids.insert(ids.end(), {51, 50});
  for (UINT i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(platform::Utf16ToUtf8(names[i]));
    FUNCDESC* desc = nullptr;
    ASSERT_EQ(S_OK, info->GetFuncDesc(i, &desc));
    EXPECT_EQ(ids[i], desc->memid);
    bool property = ids[i] == 32 || ids[i] == 33 || ids[i] == 37;
    EXPECT_EQ(property ? INVOKE_PROPERTYGET : INVOKE_FUNC, desc->invkind);
    info->ReleaseFuncDesc(desc);
    ScopedBstr name;
    UINT count = 0;
    ASSERT_EQ(S_OK, info->GetNames(ids[i], name.Receive(), 1, &count));
    EXPECT_EQ(names[i], name.Str());
    EXPECT_EQ(ids[i], DispIdOf(harbolt(), names[i]));
  }
  // Help strings, misspelt ones included, come from the table too.
  const std::pair<MEMBERID, const char16_t*> kHelp[] = {
      {MEMBERID_NIL, u"IHarbolt Interface"}, {5, u"method ToolbarEnbalePart"},
      {32, u"property errNumber"},           {150, u"method ToolbarCallback150"},
      {51, u"method ToolbarEnable0"},        {50, u"method ToolbarCallback0"}};
  for (const auto& [memid, help] : kHelp) {
    ScopedBstr name, text;
    info->GetDocumentation(memid, name.Receive(), text.Receive(), nullptr, nullptr);
    EXPECT_EQ(help, text.Str()) << memid;
  }
}

TEST_F(HarboltDispatchTest, SetDdFailuresPropertiesAndNames) {
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetDD", {Arg(u"<dd><table name='Feature'/></dd>")}));
  // A member's failure reaches a late-bound caller as DISP_E_EXCEPTION, its status in EXCEPINFO.
  CallDetails details;
  EXPECT_EQ(DISP_E_EXCEPTION,
            Call(harbolt(), u"SetDD", {Arg(u"<dd><unclosed></dd>")}, nullptr, &details));
  EXPECT_EQ(E_INVALIDARG, details.scode);
  EXPECT_EQ(u"", details.description);  // no COM error object for this one
  EXPECT_EQ(E_INVALIDARG, CallMember(harbolt(), u"SetDD", {Arg(u"")}));
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetDD", {Arg(u"<dd/>")}));
  // The error state is not the dictionary's.
  EXPECT_EQ(0, ErrorNumber());
  EXPECT_EQ(u"", ErrorDescription());
  ScopedVariant value;
  EXPECT_EQ(S_OK, Invoke(harbolt(), 32, DISPATCH_PROPERTYGET, {}));  // the value is dropped
  // A caller asking for "method or property" gets it too.
  EXPECT_EQ(S_OK,
            Invoke(harbolt(), 37, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, value.Receive()));
  EXPECT_EQ(VT_I4, value.Type());
  EXPECT_EQ(0, value.Get()->lVal);
  // Not as methods, not as puts; and methods are not properties.
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(harbolt(), u"errNumber"));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 32, DISPATCH_PROPERTYPUT, {Arg(5)}));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 27, DISPATCH_PROPERTYGET, {}));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 99, DISPATCH_METHOD, {}));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 52, DISPATCH_METHOD, {}));
  EXPECT_EQ(150, DispIdOf(harbolt(), u"toolbarcallback150"));
  EXPECT_EQ(50, DispIdOf(harbolt(), u"Toolbarcallback0"));
  EXPECT_EQ(32, DispIdOf(harbolt(), u"ERRNUMBER"));
  std::u16string unknown = u"ToolbarCallback200";
  LPOLESTR names[] = {unknown.data()};
  DISPID dispid = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME,
            harbolt()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid));
  EXPECT_EQ(DISPID_UNKNOWN, dispid);
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            harbolt()->GetIDsOfNames(IidOf<IHarbolt>(), names, 1, LOCALE_USER_DEFAULT, &dispid));
  // Each callback is reached by its DISPID: S_OK without a menu, S_FALSE with one of no command.
  for (HRESULT expected : {S_OK, S_FALSE}) {
    for (DISPID n = 100; n <= 199; ++n) {
      EXPECT_EQ(expected, Invoke(harbolt(), n, DISPATCH_METHOD, {})) << n;
    }
    EXPECT_EQ(S_OK, Call(harbolt(), u"CreateMenu", {Arg(u"<mnus/>")}));
  }
}

TEST_F(HarboltDispatchTest, ArgumentsAreCheckedAndCoercedAndOutParametersGoWhereAsked) {
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"SetCaxHandle"));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"SetCaxHandle", {Arg(u"a"), Arg(u"b")}));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"Disconnect", {Arg(1)}));
  // An out-parameter may be left out, but nothing else.
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"GetParamValue"));
  // The argument that does not fit is named by its place in rgvarg (last argument first).
  CallDetails details;
  ComPtr<CallerStandIn> object = MakeComObject<CallerStandIn, CallerStandIn>();
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(harbolt(), u"SetParamValue",
                                      {Arg(u"a"), Arg::Dispatch(object.Get())}, nullptr, &details));
  EXPECT_EQ(0u, details.argErr);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(harbolt(), u"SetParamValue",
                                      {Arg::Dispatch(object.Get()), Arg(u"a")}, nullptr, &details));
  EXPECT_EQ(1u, details.argErr);
  EXPECT_EQ(DISP_E_TYPEMISMATCH,
            Call(harbolt(), u"SetEventSrc", {Arg(u"text")}, nullptr, &details));
  EXPECT_EQ(0u, details.argErr);
  // Numbers become texts; texts are followed through references.
  ComPtr<CallerStandIn> source = NewEventSource();
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(42)}));
  FireFileNew();
  BSTR handle = SysAllocString(u"by-reference");
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg::BstrRef(&handle)}));
  FireFileNew();
  SysFreeString(handle);
  EXPECT_EQ((std::vector<std::u16string>{u"42", u"by-reference"}), source->newDocuments());
  // Named arguments and interface ids are not taken.
  VARIANT arg;
  VariantInit(&arg);
  DISPID named = 0;
  DISPPARAMS params{&arg, &named, 1, 1};
  EXPECT_EQ(DISP_E_NONAMEDARGS,
            harbolt()->Invoke(31, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                              nullptr, nullptr));
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            harbolt()->Invoke(27, IidOf<IHarbolt>(), LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr,
                              nullptr, nullptr, nullptr));
  // A reference of the type: written there, the result stays empty.
  LONG status = -1;
  ScopedVariant untouched;
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarEnable0", {Arg::LongRef(&status)}, untouched.Receive()));
  EXPECT_EQ(1, status);
  EXPECT_EQ(VT_EMPTY, untouched.Type());
  ScopedVariant target;
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarEnableAll", {Arg::VariantRef(target.Get())}));
  EXPECT_EQ(VT_I4, target.Type());
  EXPECT_EQ(1, target.Get()->lVal);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(harbolt(), u"ToolbarEnableAll", {Arg(1)}, nullptr, &details));
  EXPECT_EQ(0u, details.argErr);
  // OpenFile takes a text by reference and never writes it.
  BSTR name = SysAllocString(u"/models/Plate.SLDPRT");
  BSTR before = name;
  EXPECT_EQ(kFailed, CallMember(harbolt(), u"OpenFile", {Arg::BstrRef(&name)}));
  EXPECT_EQ(before, name);
  EXPECT_EQ(u"/models/Plate.SLDPRT", std::u16string(BstrView(name)));
  SysFreeString(name);
}

}  // namespace
}  // namespace addin_test
