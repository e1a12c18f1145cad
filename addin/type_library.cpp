#include "addin/type_library.h"

#include <string>
#include <utility>
#include <vector>

#include "addin/bitmap_handler.h"
#include "addin/harbolt_ids.h"
#include "addin/iharbolt.h"
#include "addin/pm_page.h"
#include "addin/sw_document.h"
#include "platform/format.h"

namespace harbolt {
namespace {

using platform::MemberDescription;
using platform::ParameterDescription;
using platform::TypeDescription;

constexpr WORD kDualInterfaceFlags =
    TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;

ParameterDescription In(std::u16string name, VARTYPE vt) {
  return {std::move(name), vt, PARAMFLAG_FIN};
}
ParameterDescription Out(std::u16string name, VARTYPE vt) {
  return {std::move(name), static_cast<VARTYPE>(vt | VT_BYREF), PARAMFLAG_FOUT};
}
ParameterDescription RetVal(std::u16string name, VARTYPE vt) {
  return {std::move(name), static_cast<VARTYPE>(vt | VT_BYREF),
          static_cast<USHORT>(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)};
}

// A method whose help string is "method " and its name, unless given.
MemberDescription Method(std::u16string name, DISPID dispid,
                         std::vector<ParameterDescription> parameters = {},
                         std::u16string help = {}) {
  if (help.empty()) help = u"method " + name;
  return {std::move(name), dispid, INVOKE_FUNC, std::move(help), std::move(parameters)};
}
MemberDescription PropertyGet(std::u16string name, DISPID dispid, VARTYPE vt) {
  std::u16string help = u"property " + name;
  return {std::move(name), dispid, INVOKE_PROPERTYGET, std::move(help), {RetVal(u"pVal", vt)}};
}

std::vector<MemberDescription> HarboltMembers() {
  std::vector<MemberDescription> members = {
      Method(u"ToolbarEnableAll", 4, {Out(u"status", VT_I4)}),
      Method(u"ToolbarEnablePart", 5, {Out(u"status", VT_I4)}, u"method ToolbarEnbalePart"),
      Method(u"ToolbarEnableAsm", 6, {Out(u"status", VT_I4)}, u"method ToolbarEnbaleAsm"),
      Method(u"ToolbarEnableDwg", 7, {Out(u"status", VT_I4)}, u"method ToolbarEnbaleDwg"),
      Method(u"ToolbarEnablePartAsm", 8, {Out(u"status", VT_I4)}, u"method ToolbarEnbalePartAsm"),
      Method(u"CreateMenu", 21, {In(u"bsMenuDef", VT_BSTR)}),
      Method(u"SetParamValue", 22, {In(u"bsParamName", VT_BSTR), In(u"bsParamValue", VT_BSTR)}),
      Method(u"GetParamValue", 23, {In(u"bsParamName", VT_BSTR), Out(u"pbsParamValue", VT_BSTR)}),
      Method(u"RefreshTable", 24, {In(u"bsDbFileName", VT_BSTR), In(u"bsTableName", VT_BSTR)}),
      Method(u"SetDD", 25, {In(u"bsXml", VT_BSTR)}),
      Method(u"SetCaller", 26, {In(u"pCaller", VT_UNKNOWN)}),
      Method(u"Disconnect", 27),
      Method(u"UpdateTable", 28, {In(u"bsDbFileName", VT_BSTR), In(u"bsTableName", VT_BSTR)}),
      Method(u"GetHWND", 29, {Out(u"pHwnd", VT_I8)}),
      Method(u"SetEventSrc", 30, {In(u"v", VT_DISPATCH)}),
      Method(u"SetCaxHandle", 31, {In(u"caxHandle", VT_BSTR)}),
      PropertyGet(u"errNumber", 32, VT_I4),
      PropertyGet(u"errDescription", 33, VT_BSTR),
      Method(u"SetWorkDir", 34, {In(u"value", VT_BSTR)}),
      Method(u"OpenFile", 35, {In(u"fileName", VT_BSTR | VT_BYREF)}),
      Method(u"SaveFile", 36, {In(u"fileName", VT_BSTR)}),
      PropertyGet(u"ConnIsValid", 37, VT_I4),
      Method(u"GetDependencies", 38, {In(u"filePath", VT_BSTR), Out(u"depends", VT_BSTR)}),
  };
  for (DISPID n = kFirstToolbarCallback; n <= kLastToolbarCallback; ++n) {
    members.push_back(Method(platform::FormatWide(64, u"ToolbarCallback%d", n), n));
  }
  members.push_back(Method(u"ToolbarEnable0", 51, {Out(u"status", VT_I4)}));
  members.push_back(Method(u"ToolbarCallback0", 50));
  return members;
}

std::vector<MemberDescription> BitmapHandlerMembers() {
  return {
      Method(u"CreateBitmapFileFromResource", 1,
             {In(u"resID", VT_UI4), RetVal(u"retval", VT_BSTR)}),
      Method(u"Dispose", 2),
  };
}

TypeDescription Interface(std::u16string name, const IID& iid,
                          std::vector<MemberDescription> members = {}) {
  std::u16string help = name + u" Interface";
  return {std::move(name),    iid, TKIND_DISPATCH, kDualInterfaceFlags, std::move(help),
          std::move(members), {}};
}
TypeDescription Class(std::u16string name, const CLSID& clsid, const IID& defaultInterface) {
  std::u16string help = name + u" Class";
  return {std::move(name), clsid, TKIND_COCLASS,     TYPEFLAG_FCANCREATE,
          std::move(help), {},    {defaultInterface}};
}

}  // namespace

platform::TypeLibDescription HarboltTypeLibDescription() {
  return {
      u"HarboltLib",
      LIBID_HarboltLib,
      kHarboltLibMajorVersion,
      kHarboltLibMinorVersion,
      kHarboltLibLocale,
      u"Harbolt 1.0 Type Library",
      {
          Interface(u"IHarbolt", IidOf<IHarbolt>(), HarboltMembers()),
          Interface(u"IBitmapHandler", IidOf<IBitmapHandler>(), BitmapHandlerMembers()),
          Interface(u"ISwDocument", IidOf<ISwDocument>()),
          Interface(u"IUserPropertyManagerPage", IidOf<IUserPropertyManagerPage>()),
          Interface(u"IPMPageHandler", IidOf<IPMPageHandler>()),
          Class(u"Harbolt", CLSID_Harbolt, IidOf<IHarbolt>()),
          Class(u"BitmapHandler", CLSID_BitmapHandler, IidOf<IBitmapHandler>()),
          Class(u"SwDocument", CLSID_SwDocument, IidOf<ISwDocument>()),
          Class(u"UserPropertyManagerPage", CLSID_UserPropertyManagerPage,
                IidOf<IUserPropertyManagerPage>()),
          Class(u"PMPageHandler", CLSID_PMPageHandler, IidOf<IPMPageHandler>()),
      },
  };
}

ComPtr<ITypeLib> LoadHarboltTypeLib() noexcept {
  try {
    return platform::CreateTypeLib(HarboltTypeLibDescription());
  } catch (...) {
    return nullptr;
  }
}

ComPtr<ITypeInfo> LoadHarboltTypeInfo(REFGUID guid) noexcept {
  ComPtr<ITypeLib> lib = LoadHarboltTypeLib();
  ComPtr<ITypeInfo> info;
  if (lib) lib->GetTypeInfoOfGuid(guid, info.ReleaseAndGetAddressOf());
  return info;
}

}  // namespace harbolt
