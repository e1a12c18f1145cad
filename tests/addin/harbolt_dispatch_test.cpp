// IHarbolt as a late-bound caller sees it: names, DISPIDs, type information
// and the rules of Invoke.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/iharbolt.h"
#include "platform/format.h"
#include "platform/type_info.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallDetails;
using testing_support::CallMember;
using testing_support::DispIdOf;
using testing_support::Invoke;

// The members in the order of the interface's table, with their DISPIDs.
std::vector<std::pair<std::u16string, DISPID>> TableOrder() {
  std::vector<std::pair<std::u16string, DISPID>> members = {
      {u"ToolbarEnableAll", 4},
      {u"ToolbarEnablePart", 5},
      {u"ToolbarEnableAsm", 6},
      {u"ToolbarEnableDwg", 7},
      {u"ToolbarEnablePartAsm", 8},
      {u"CreateMenu", 21},
      {u"SetParamValue", 22},
      {u"GetParamValue", 23},
      {u"RefreshTable", 24},
      {u"SetDD", 25},
      {u"SetCaller", 26},
      {u"Disconnect", 27},
      {u"UpdateTable", 28},
      {u"GetHWND", 29},
      {u"SetEventSrc", 30},
      {u"SetCaxHandle", 31},
      {u"errNumber", 32},
      {u"errDescription", 33},
      {u"SetWorkDir", 34},
      {u"OpenFile", 35},
      {u"SaveFile", 36},
      {u"ConnIsValid", 37},
      {u"GetDependencies", 38},
  };
  for (DISPID n = 100; n <= 199; ++n) {
    members.push_back({platform::FormatWide(64, u"ToolbarCallback%d", n), n});
  }
  members.push_back({u"ToolbarEnable0", 51});
  members.push_back({u"ToolbarCallback0", 50});
  return members;
}

class HarboltDispatchTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    Connect();
    UINT count = 0;
    ASSERT_EQ(S_OK, harbolt()->GetTypeInfoCount(&count));
    ASSERT_EQ(1u, count);
    ASSERT_EQ(S_OK, harbolt()->GetTypeInfo(0, LOCALE_USER_DEFAULT, info_.ReleaseAndGetAddressOf()));
  }

  std::u16string HelpOf(MEMBERID memid) {
    ScopedBstr name, help;
    info_->GetDocumentation(memid, name.Receive(), help.Receive(), nullptr, nullptr);
    return help.Str();
  }

  ComPtr<ITypeInfo> info_;
};

TEST_F(HarboltDispatchTest, TypeInformationListsTheMembersInTableOrder) {
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, info_->GetTypeAttr(&attr));
  EXPECT_EQ(IidOf<IHarbolt>(), attr->guid);
  EXPECT_EQ(125, attr->cFuncs);
  EXPECT_EQ(TYPEFLAG_FDUAL, attr->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(1, attr->wMajorVerNum);
  EXPECT_EQ(0, attr->wMinorVerNum);
  info_->ReleaseTypeAttr(attr);
  EXPECT_EQ(u"IHarbolt Interface", HelpOf(MEMBERID_NIL));

  std::vector<std::pair<std::u16string, DISPID>> expected = TableOrder();
  for (UINT i = 0; i < expected.size(); ++i) {
    FUNCDESC* desc = nullptr;
    ASSERT_EQ(S_OK, info_->GetFuncDesc(i, &desc));
    EXPECT_EQ(expected[i].second, desc->memid) << i;
    bool property =
        expected[i].second == 32 || expected[i].second == 33 || expected[i].second == 37;
    EXPECT_EQ(property ? INVOKE_PROPERTYGET : INVOKE_FUNC, desc->invkind) << i;
    info_->ReleaseFuncDesc(desc);
    ScopedBstr name;
    UINT names = 0;
    ASSERT_EQ(S_OK, info_->GetNames(expected[i].second, name.Receive(), 1, &names));
    EXPECT_EQ(expected[i].first, name.Str());
    // Late-bound callers find the same member by name.
    EXPECT_EQ(expected[i].second, DispIdOf(harbolt(), expected[i].first));
  }
}

TEST_F(HarboltDispatchTest, HelpStringsKeepTheirSpelling) {
  EXPECT_EQ(u"method ToolbarEnableAll", HelpOf(4));
  EXPECT_EQ(u"method ToolbarEnbalePart", HelpOf(5));
  EXPECT_EQ(u"method ToolbarEnbaleAsm", HelpOf(6));
  EXPECT_EQ(u"method ToolbarEnbaleDwg", HelpOf(7));
  EXPECT_EQ(u"method ToolbarEnbalePartAsm", HelpOf(8));
  EXPECT_EQ(u"method CreateMenu", HelpOf(21));
  EXPECT_EQ(u"property errNumber", HelpOf(32));
  EXPECT_EQ(u"property errDescription", HelpOf(33));
  EXPECT_EQ(u"property ConnIsValid", HelpOf(37));
  EXPECT_EQ(u"method ToolbarCallback150", HelpOf(150));
  EXPECT_EQ(u"method ToolbarEnable0", HelpOf(51));
  EXPECT_EQ(u"method ToolbarCallback0", HelpOf(50));

  // The library and its other types.
  ComPtr<ITypeLib> lib;
  UINT index = 99;
  ASSERT_EQ(S_OK, info_->GetContainingTypeLib(lib.ReleaseAndGetAddressOf(), &index));
  TLIBATTR* libAttr = nullptr;
  ASSERT_EQ(S_OK, lib->GetLibAttr(&libAttr));
  EXPECT_EQ(platform::GuidLiteral("{7B8BAA99-AB92-415D-A210-42402A6E7686}"), libAttr->guid);
  EXPECT_EQ(0x409u, libAttr->lcid);
  EXPECT_EQ(1, libAttr->wMajorVerNum);
  EXPECT_EQ(0, libAttr->wMinorVerNum);
  lib->ReleaseTLibAttr(libAttr);
  ScopedBstr libHelp;
  lib->GetDocumentation(-1, nullptr, libHelp.Receive(), nullptr, nullptr);
  EXPECT_EQ(u"Harbolt 1.0 Type Library", libHelp.Str());
  std::vector<std::u16string> helps;
  for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
    ScopedBstr help;
    lib->GetDocumentation(static_cast<INT>(i), nullptr, help.Receive(), nullptr, nullptr);
    helps.push_back(help.Str());
  }
  EXPECT_EQ((std::vector<std::u16string>{
                u"IHarbolt Interface", u"IBitmapHandler Interface", u"ISwDocument Interface",
                u"IUserPropertyManagerPage Interface", u"IPMPageHandler Interface",
                u"Harbolt Class", u"BitmapHandler Class", u"SwDocument Class",
                u"UserPropertyManagerPage Class", u"PMPageHandler Class"}),
            helps);
}

TEST_F(HarboltDispatchTest, NamesResolveWithoutRegardToCase) {
  EXPECT_EQ(150, DispIdOf(harbolt(), u"ToolbarCallback150"));
  EXPECT_EQ(150, DispIdOf(harbolt(), u"toolbarcallback150"));
  EXPECT_EQ(51, DispIdOf(harbolt(), u"ToolbarEnable0"));
  EXPECT_EQ(50, DispIdOf(harbolt(), u"Toolbarcallback0"));
  EXPECT_EQ(32, DispIdOf(harbolt(), u"errNumber"));
  EXPECT_EQ(32, DispIdOf(harbolt(), u"ERRNUMBER"));

  std::u16string unknown = u"ToolbarCallback200";
  LPOLESTR names[] = {unknown.data()};
  DISPID dispid = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME,
            harbolt()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid));
  EXPECT_EQ(DISPID_UNKNOWN, dispid);
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            harbolt()->GetIDsOfNames(IidOf<IHarbolt>(), names, 1, LOCALE_USER_DEFAULT, &dispid));
}

TEST_F(HarboltDispatchTest, PropertiesAreReadAsPropertyGets) {
  ScopedVariant value;
  EXPECT_EQ(S_OK, Invoke(harbolt(), 32, DISPATCH_PROPERTYGET, {}, value.Receive()));
  EXPECT_EQ(VT_I4, value.Type());
  EXPECT_EQ(0, value.Get()->lVal);
  // A caller asking for "method or property" gets it too.
  EXPECT_EQ(S_OK,
            Invoke(harbolt(), 37, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, value.Receive()));
  EXPECT_EQ(0, value.Get()->lVal);
  EXPECT_EQ(S_OK, Invoke(harbolt(), 33, DISPATCH_PROPERTYGET, {}, value.Receive()));
  EXPECT_EQ(VT_BSTR, value.Type());
  EXPECT_EQ(0u, SysStringLen(value.Get()->bstrVal));

  // Not as methods, not as puts; and methods are not properties.
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(harbolt(), u"errNumber"));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 32, DISPATCH_PROPERTYPUT, {Arg(5)}));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 27, DISPATCH_PROPERTYGET, {}));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 99, DISPATCH_METHOD, {}));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(harbolt(), 52, DISPATCH_METHOD, {}));
}

TEST_F(HarboltDispatchTest, ArgumentsAreCheckedAndCoerced) {
  CallDetails details;
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"SetCaxHandle"));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"SetCaxHandle", {Arg(u"a"), Arg(u"b")}));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"Disconnect", {Arg(1)}));
  // An out-parameter may be left out, but nothing else.
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(harbolt(), u"GetParamValue"));

  // The argument that does not fit is named by its place in rgvarg, where
  // the last argument comes first.
  ComPtr<testing_support::CallerStandIn> object =
      MakeComObject<testing_support::CallerStandIn, testing_support::CallerStandIn>();
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
  ComPtr<testing_support::CallerStandIn> source = NewEventSource();
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(42)}));
  FireFileNew();
  BSTR handle = SysAllocString(u"by-reference");
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg::BstrRef(&handle)}));
  FireFileNew();
  SysFreeString(handle);
  EXPECT_EQ((std::vector<std::u16string>{u"42", u"by-reference"}), source->newDocuments());

  // Named arguments are not taken.
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
}

TEST_F(HarboltDispatchTest, OutParametersGoWhereTheCallerAsks) {
  // Left out: the result variant.
  ScopedVariant result;
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarEnableAll", {}, result.Receive()));
  EXPECT_EQ(VT_I4, result.Type());
  EXPECT_EQ(1, result.Get()->lVal);
  // A reference of the type: written there, the result stays empty.
  LONG status = -1;
  ScopedVariant untouched;
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarEnable0", {Arg::LongRef(&status)}, untouched.Receive()));
  EXPECT_EQ(1, status);
  EXPECT_EQ(VT_EMPTY, untouched.Type());
  // A variant by reference.
  ScopedVariant target;
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarEnableAll", {Arg::VariantRef(target.Get())}));
  EXPECT_EQ(VT_I4, target.Type());
  EXPECT_EQ(1, target.Get()->lVal);
  // Anything else does not fit.
  CallDetails details;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(harbolt(), u"ToolbarEnableAll", {Arg(1)}, nullptr, &details));
  EXPECT_EQ(0u, details.argErr);
}

TEST_F(HarboltDispatchTest, OpenFileTakesATextByReferenceAndNeverWritesIt) {
  constexpr HRESULT kFailed = MakeHresult(0xFFFFFFFF);
  BSTR name = SysAllocString(u"/models/Plate.SLDPRT");
  BSTR before = name;
  // No such file: the member's own failure, reached through the table.
  EXPECT_EQ(kFailed, CallMember(harbolt(), u"OpenFile", {Arg::BstrRef(&name)}));
  EXPECT_EQ(before, name);
  EXPECT_EQ(u"/models/Plate.SLDPRT", std::u16string(BstrView(name)));
  SysFreeString(name);
  EXPECT_EQ(kFailed, CallMember(harbolt(), u"OpenFile", {Arg(u"/models/Plate.SLDPRT")}));
  EXPECT_EQ(-1, testing_support::LongProperty(harbolt(), u"errNumber"));
}

TEST_F(HarboltDispatchTest, MenuAndFileMembersAreReachedThroughTheTable) {
  constexpr HRESULT kFailed = MakeHresult(0xFFFFFFFF);
  // Without a menu definition every command callback answers S_OK; with
  // one that hands out no command, S_FALSE.
  for (DISPID n = 100; n <= 199; ++n) {
    EXPECT_EQ(S_OK, Invoke(harbolt(), n, DISPATCH_METHOD, {})) << n;
  }
  EXPECT_EQ(S_OK, Call(harbolt(), u"CreateMenu", {Arg(u"<mnus/>")}));
  for (DISPID n = 100; n <= 199; ++n) {
    EXPECT_EQ(S_FALSE, Invoke(harbolt(), n, DISPATCH_METHOD, {})) << n;
  }
  // No document is open.
  EXPECT_EQ(kFailed, CallMember(harbolt(), u"SaveFile", {Arg(u"")}));
  ScopedVariant list;
  EXPECT_EQ(kFailed, CallMember(harbolt(), u"GetDependencies", {Arg(u"")}, list.Receive()));
  EXPECT_EQ(VT_EMPTY, list.Type());
  EXPECT_EQ(-1, testing_support::LongProperty(harbolt(), u"errNumber"));
}

TEST_F(HarboltDispatchTest, SetDdParsesTheDictionary) {
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetDD", {Arg(u"<dd><table name='Feature'/></dd>")}));
  // A member's failure reaches a late-bound caller as DISP_E_EXCEPTION with
  // the member's status in EXCEPINFO, as from any dual interface.
  CallDetails details;
  EXPECT_EQ(DISP_E_EXCEPTION,
            Call(harbolt(), u"SetDD", {Arg(u"<dd><unclosed></dd>")}, nullptr, &details));
  EXPECT_EQ(E_INVALIDARG, details.scode);
  EXPECT_EQ(u"", details.description);  // no COM error object for this one
  EXPECT_EQ(E_INVALIDARG, CallMember(harbolt(), u"SetDD", {Arg(u"")}));
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetDD", {Arg(u"<dd/>")}));
  // The error state is not the dictionary's.
  EXPECT_EQ(0, testing_support::LongProperty(harbolt(), u"errNumber"));
  EXPECT_EQ(u"", testing_support::TextProperty(harbolt(), u"errDescription"));
}

}  // namespace
}  // namespace addin_test
