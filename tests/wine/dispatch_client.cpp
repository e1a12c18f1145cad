// A COM client of harbolt.dll, built for Windows against the system's SDK and
// run under Wine by tests/wine/run.sh after the module was registered: it
// creates the classes through the registry, calls IHarbolt late-bound
// (GetIDsOfNames/Invoke) and early-bound (the vtable that harbolt.idl
// declares), reads the type information and the COM error object, and looks
// at the module's resources and exports.
//
//   dispatch_client.exe MODULE_PATH
//
// Prints one line per check and "N passed, N failed"; the exit code is the
// number of failed checks.
// clang-format off
// initguid.h first, so that harbolt_h.h defines the GUIDs it declares;
// windows.h next, since the other SDK headers build on it.
#include <initguid.h>

#include <windows.h>

#include <cguid.h>
#include <oleauto.h>
#include <olectl.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "harbolt_h.h"
#include "tests/wine/checks.h"

namespace {

using wine_checks::Check;

void CheckHr(HRESULT expected, HRESULT actual, const char* what) {
  if (expected != actual) {
    std::printf("     expected 0x%08lX, got 0x%08lX\n", static_cast<unsigned long>(expected),
                static_cast<unsigned long>(actual));
  }
  Check(expected == actual, what);
}

std::string Narrow(const wchar_t* text) {
  if (!text) return "(null)";
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

bool Same(BSTR text, const wchar_t* expected) { return text && std::wcscmp(text, expected) == 0; }

// Owners of what the checks receive.
template <typename T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() { Reset(); }
  T** Out() {
    Reset();
    return &ptr_;
  }
  void Reset() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }
  T* operator->() const { return ptr_; }
  T* Get() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

 private:
  T* ptr_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const wchar_t* text = nullptr) : bstr_(text ? SysAllocString(text) : nullptr) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(bstr_); }
  BSTR* Out() {
    SysFreeString(bstr_);
    bstr_ = nullptr;
    return &bstr_;
  }
  BSTR Get() const { return bstr_; }

 private:
  BSTR bstr_;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }
  VARIANT* Get() { return &v_; }
  VARIANT* operator->() { return &v_; }

 private:
  VARIANT v_;
};

// IHarbolt's members in the order of its table, with their DISPIDs.
struct Member {
  std::wstring name;
  DISPID dispid;
  std::wstring help;
};

std::vector<Member> HarboltMembers() {
  std::vector<Member> members = {
      {L"ToolbarEnableAll", 4, L"method ToolbarEnableAll"},
      {L"ToolbarEnablePart", 5, L"method ToolbarEnbalePart"},
      {L"ToolbarEnableAsm", 6, L"method ToolbarEnbaleAsm"},
      {L"ToolbarEnableDwg", 7, L"method ToolbarEnbaleDwg"},
      {L"ToolbarEnablePartAsm", 8, L"method ToolbarEnbalePartAsm"},
      {L"CreateMenu", 21, L"method CreateMenu"},
      {L"SetParamValue", 22, L"method SetParamValue"},
      {L"GetParamValue", 23, L"method GetParamValue"},
      {L"RefreshTable", 24, L"method RefreshTable"},
      {L"SetDD", 25, L"method SetDD"},
      {L"SetCaller", 26, L"method SetCaller"},
      {L"Disconnect", 27, L"method Disconnect"},
      {L"UpdateTable", 28, L"method UpdateTable"},
      {L"GetHWND", 29, L"method GetHWND"},
      {L"SetEventSrc", 30, L"method SetEventSrc"},
      {L"SetCaxHandle", 31, L"method SetCaxHandle"},
      {L"errNumber", 32, L"property errNumber"},
      {L"errDescription", 33, L"property errDescription"},
      {L"SetWorkDir", 34, L"method SetWorkDir"},
      {L"OpenFile", 35, L"method OpenFile"},
      {L"SaveFile", 36, L"method SaveFile"},
      {L"ConnIsValid", 37, L"property ConnIsValid"},
      {L"GetDependencies", 38, L"method GetDependencies"},
  };
  for (int n = 100; n <= 199; ++n) {
    std::wstring name = L"ToolbarCallback" + std::to_wstring(n);
    members.push_back({name, n, L"method " + name});
  }
  members.push_back({L"ToolbarEnable0", 51, L"method ToolbarEnable0"});
  members.push_back({L"ToolbarCallback0", 50, L"method ToolbarCallback0"});
  return members;
}

DISPID IdOf(IDispatch* object, const wchar_t* name, HRESULT* hr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = 12345;
  *hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

// Calls a member by name with the arguments in call order.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
                   VARIANT* result, EXCEPINFO* excep) {
  HRESULT hr = S_OK;
  DISPID id = IdOf(object, name, &hr);
  if (FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  UINT argErr = 0;
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, excep, &argErr);
}

VARIANT Text(BSTR text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text;
  return v;
}

void CheckNamesAndTypeInfo(IDispatch* harbolt) {
  const std::vector<Member> members = HarboltMembers();
  int wrongIds = 0;
  for (const Member& m : members) {
    HRESULT hr = S_OK;
    DISPID id = IdOf(harbolt, m.name.c_str(), &hr);
    if (hr != S_OK || id != m.dispid) {
      ++wrongIds;
      std::printf("     %s: 0x%08lX, DISPID %ld\n", Narrow(m.name.c_str()).c_str(),
                  static_cast<unsigned long>(hr), static_cast<long>(id));
    }
  }
  Check(members.size() == 125 && wrongIds == 0,
        "GetIDsOfNames gives the DISPID of all 125 members");
  HRESULT hr = S_OK;
  Check(IdOf(harbolt, L"TOOLBARCALLBACK150", &hr) == 150 && hr == S_OK,
        "names are looked up without regard to case");
  IdOf(harbolt, L"NoSuchMember", &hr);
  CheckHr(DISP_E_UNKNOWNNAME, hr, "an unknown name gives DISP_E_UNKNOWNNAME");

  UINT count = 0;
  CheckHr(S_OK, harbolt->GetTypeInfoCount(&count), "GetTypeInfoCount");
  Check(count == 1, "one type information");
  Ref<ITypeInfo> info;
  CheckHr(S_OK, harbolt->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out()), "GetTypeInfo");
  if (!info) return;

  TYPEATTR* attr = nullptr;
  CheckHr(S_OK, info->GetTypeAttr(&attr), "GetTypeAttr");
  if (attr) {
    Check(IsEqualGUID(attr->guid, IID_IHarbolt), "the type information is IHarbolt's");
    Check((attr->wTypeFlags & TYPEFLAG_FDUAL) != 0, "IHarbolt is dual");
    // The members after those of IUnknown and IDispatch, in the table's order.
    std::vector<DISPID> order;
    std::vector<std::wstring> helps;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
      FUNCDESC* desc = nullptr;
      if (FAILED(info->GetFuncDesc(i, &desc))) continue;
      if (desc->memid >= 0 && desc->memid < 0x60000000) order.push_back(desc->memid);
      info->ReleaseFuncDesc(desc);
    }
    info->ReleaseTypeAttr(attr);
    bool sameOrder = order.size() == members.size();
    for (size_t i = 0; sameOrder && i < order.size(); ++i) {
      sameOrder = order[i] == members[i].dispid;
    }
    Check(sameOrder, "the members stand in the table's order");
  }

  int wrongHelp = 0;
  for (const Member& m : members) {
    Bstr name, doc;
    HRESULT got = info->GetDocumentation(m.dispid, name.Out(), doc.Out(), nullptr, nullptr);
    if (got != S_OK || !Same(name.Get(), m.name.c_str()) || !Same(doc.Get(), m.help.c_str())) {
      ++wrongHelp;
      std::printf("     %s: \"%s\"\n", Narrow(m.name.c_str()).c_str(), Narrow(doc.Get()).c_str());
    }
  }
  Check(wrongHelp == 0, "every member has its help string");
  Bstr name, doc;
  info->GetDocumentation(MEMBERID_NIL, name.Out(), doc.Out(), nullptr, nullptr);
  Check(Same(name.Get(), L"IHarbolt") && Same(doc.Get(), L"IHarbolt Interface"),
        "the interface is documented as \"IHarbolt Interface\"");

  Ref<ITypeLib> lib;
  UINT index = 0;
  CheckHr(S_OK, info->GetContainingTypeLib(lib.Out(), &index), "GetContainingTypeLib");
  if (!lib) return;
  TLIBATTR* libAttr = nullptr;
  if (SUCCEEDED(lib->GetLibAttr(&libAttr))) {
    Check(IsEqualGUID(libAttr->guid, LIBID_HarboltLib) && libAttr->wMajorVerNum == 1 &&
              libAttr->wMinorVerNum == 0 && libAttr->lcid == 0x409,
          "the library is {7B8BAA99-...} 1.0, locale 0x409");
    lib->ReleaseTLibAttr(libAttr);
  }
  lib->GetDocumentation(-1, name.Out(), doc.Out(), nullptr, nullptr);
  Check(Same(doc.Get(), L"Harbolt 1.0 Type Library"), "the library's help string");
  struct ClassDoc {
    const GUID* clsid;
    const wchar_t* help;
  };
  const ClassDoc classes[] = {{&CLSID_Harbolt, L"Harbolt Class"},
                              {&CLSID_BitmapHandler, L"BitmapHandler Class"},
                              {&CLSID_SwDocument, L"SwDocument Class"},
                              {&CLSID_UserPropertyManagerPage, L"UserPropertyManagerPage Class"},
                              {&CLSID_PMPageHandler, L"PMPageHandler Class"}};
  int wrongClasses = 0;
  for (const ClassDoc& c : classes) {
    Ref<ITypeInfo> classInfo;
    Bstr classDoc;
    if (FAILED(lib->GetTypeInfoOfGuid(*c.clsid, classInfo.Out())) ||
        FAILED(
            classInfo->GetDocumentation(MEMBERID_NIL, nullptr, classDoc.Out(), nullptr, nullptr)) ||
        !Same(classDoc.Get(), c.help)) {
      ++wrongClasses;
    }
  }
  Check(wrongClasses == 0, "the five classes with their help strings");
}

void CheckLateBoundCalls(IDispatch* harbolt) {
  Bstr handle(L"handle-7");
  Variant result;
  CheckHr(S_OK,
          CallByName(harbolt, L"SetCaxHandle", DISPATCH_METHOD, {Text(handle.Get())}, result.Get(),
                     nullptr),
          "SetCaxHandle by name");
  Bstr dictionary(L"<root><table name=\"Feature\"/></root>");
  CheckHr(S_OK,
          CallByName(harbolt, L"SetDD", DISPATCH_METHOD, {Text(dictionary.Get())}, result.Get(),
                     nullptr),
          "SetDD by name");
  Variant number;
  CheckHr(S_OK, CallByName(harbolt, L"errNumber", DISPATCH_PROPERTYGET, {}, number.Get(), nullptr),
          "errNumber by name");
  Check(number->vt == VT_I4 && number->lVal == 0, "errNumber is 0");
  Variant valid;
  CheckHr(S_OK, CallByName(harbolt, L"ConnIsValid", DISPATCH_PROPERTYGET, {}, valid.Get(), nullptr),
          "ConnIsValid by name");
  Check(valid->vt == VT_I4 && valid->lVal == 0, "ConnIsValid is 0");
  Variant status;
  CheckHr(S_OK,
          CallByName(harbolt, L"ToolbarEnableAll", DISPATCH_METHOD, {}, status.Get(), nullptr),
          "ToolbarEnableAll by name");
  Check(status->vt == VT_I4 && status->lVal == 1, "ToolbarEnableAll answers 1");

  // A message text of the module's string table, in the user's language.
  Bstr noMenuRoot(L"<menus/>");
  EXCEPINFO menuExcep{};
  Variant menuResult;
  HRESULT menu = CallByName(harbolt, L"CreateMenu", DISPATCH_METHOD, {Text(noMenuRoot.Get())},
                            menuResult.Get(), &menuExcep);
  Check(menu == DISP_E_EXCEPTION && menuExcep.scode == E_INVALIDARG,
        "CreateMenu without a menu root: E_INVALIDARG");
  Variant text;
  CallByName(harbolt, L"errDescription", DISPATCH_PROPERTYGET, {}, text.Get(), nullptr);
  const wchar_t* expected =
      GetUserDefaultLangID() == MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)
          ? L"CHarbolt::CreateMenu():\x83dc\x5355\x8282\x70b9\x4e0d\x5b58\x5728"
          : L"CHarbolt::CreateMenu():menuNode not exists";
  std::printf("     errDescription \"%s\"\n",
              Narrow(text->vt == VT_BSTR ? text->bstrVal : nullptr).c_str());
  Check(text->vt == VT_BSTR && Same(text->bstrVal, expected),
        "errDescription ends with message 5800 from the string table");

  // Without a host there is no active document: the export fails cleanly,
  // with the exception's report in EXCEPINFO.
  Bstr tables(L"Feature");
  Bstr database(L"C:\\windows\\temp\\harbolt-wine-client.db");
  EXCEPINFO excep{};
  Variant refresh;
  HRESULT hr = CallByName(harbolt, L"RefreshTable", DISPATCH_METHOD,
                          {Text(tables.Get()), Text(database.Get())}, refresh.Get(), &excep);
  Check(hr == DISP_E_EXCEPTION && excep.scode == static_cast<SCODE>(0x80040200),
        "RefreshTable without a host: DISP_E_EXCEPTION with scode 0x80040200");
  std::printf("     Invoke 0x%08lX, scode 0x%08lX, source \"%s\", description \"%s\"\n",
              static_cast<unsigned long>(hr), static_cast<unsigned long>(excep.scode),
              Narrow(excep.bstrSource).c_str(), Narrow(excep.bstrDescription).c_str());
  Check(Same(excep.bstrSource, L"Harbolt.Harbolt.1"), "EXCEPINFO names Harbolt.Harbolt.1");
  Check(excep.bstrDescription && SysStringLen(excep.bstrDescription) > 1 &&
            excep.bstrDescription[SysStringLen(excep.bstrDescription) - 1] == L'\n',
        "EXCEPINFO carries the report text (message and a line feed)");
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
}

// What one late-bound call gave back.
struct Outcome {
  HRESULT hr = S_OK;
  SCODE scode = 0;
  std::wstring source;
  std::wstring description;
  VARTYPE resultType = VT_EMPTY;
  LONG resultValue = 0;

  bool operator==(const Outcome&) const = default;
};

Outcome Collect(HRESULT hr, EXCEPINFO& excep, VARIANT* result) {
  Outcome out;
  out.hr = hr;
  out.scode = excep.scode;
  out.source = excep.bstrSource ? excep.bstrSource : L"";
  out.description = excep.bstrDescription ? excep.bstrDescription : L"";
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  out.resultType = result->vt;
  if (result->vt == VT_I4) out.resultValue = result->lVal;
  VariantClear(result);
  return out;
}

std::string Describe(const Outcome& o) {
  char text[512];
  std::snprintf(text, sizeof text, "0x%08lX scode 0x%08lX vt %u value %ld \"%s\" \"%s\"",
                static_cast<unsigned long>(o.hr), static_cast<unsigned long>(o.scode),
                static_cast<unsigned>(o.resultType), static_cast<long>(o.resultValue),
                Narrow(o.source.c_str()).c_str(), Narrow(o.description.c_str()).c_str());
  return text;
}

// Calls member `name` twice: through the system's ITypeInfo::Invoke on the
// vtable that the type library describes (the way the system serves IDispatch
// for a dual interface), and through the object's IDispatch::Invoke. Returns
// both outcomes: status, EXCEPINFO and result.
struct Outcomes {
  Outcome bySystem;
  Outcome byObject;
};
Outcomes InvokeBothWays(IDispatch* harbolt, ITypeInfo* vtableInfo, IHarbolt* early,
                        const wchar_t* name, WORD flags, std::vector<VARIANT> args) {
  HRESULT hr = S_OK;
  DISPID id = IdOf(harbolt, name, &hr);
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  UINT argErr = 0;
  EXCEPINFO excep{};
  Variant result;
  SetErrorInfo(0, nullptr);
  Outcome bySystem =
      Collect(vtableInfo->Invoke(early, id, flags, &params, result.Get(), &excep, &argErr), excep,
              result.Get());
  excep = EXCEPINFO{};
  SetErrorInfo(0, nullptr);
  Outcome byObject = Collect(harbolt->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                             result.Get(), &excep, &argErr),
                             excep, result.Get());
  std::printf("     %s: system %s\n", Narrow(name).c_str(), Describe(bySystem).c_str());
  if (!(byObject == bySystem)) {
    std::printf("     %s: object %s\n", Narrow(name).c_str(), Describe(byObject).c_str());
  }
  return {bySystem, byObject};
}

// The object's late-bound face answers as the system's type-library
// invocation does: a member's failure comes back as DISP_E_EXCEPTION with the
// member's status and its COM error object in EXCEPINFO.
void CheckInvokeAsTheSystemDoes(IDispatch* harbolt) {
  Ref<ITypeInfo> info;
  harbolt->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out());
  Ref<IHarbolt> early;
  harbolt->QueryInterface(IID_IHarbolt, reinterpret_cast<void**>(early.Out()));
  HREFTYPE vtableRef = 0;
  Ref<ITypeInfo> vtableInfo;
  // A dual interface's dispatch description refers to its vtable description.
  if (!info || !early || FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef)) ||
      FAILED(info->GetRefTypeInfo(vtableRef, vtableInfo.Out()))) {
    Check(false, "the vtable description of IHarbolt");
    return;
  }
  Bstr handle(L"handle-9"), brokenXml(L"<dd"), otherRoot(L"<other/>");
  Bstr menu(L"<mnus caption=\"Tools\"><mnu id=\"1\" caption=\"One\"/></mnus>");
  Bstr tables(L"Feature"), database(L"C:\\windows\\temp\\harbolt-wine-compare.db");
  Bstr model(L"C:\\windows\\temp\\no-such-model.SLDPRT");
  VARIANT modelRef;
  VariantInit(&modelRef);
  modelRef.vt = VT_BSTR | VT_BYREF;
  BSTR modelText = model.Get();
  modelRef.pbstrVal = &modelText;
  LONGLONG window = 7;
  VARIANT windowRef;
  VariantInit(&windowRef);
  windowRef.vt = VT_I8 | VT_BYREF;
  windowRef.pllVal = &window;
  struct Case {
    const wchar_t* name;
    WORD flags;
    std::vector<VARIANT> args;
    const char* what;
  };
  const Case cases[] = {
      {L"SetCaxHandle", DISPATCH_METHOD, {Text(handle.Get())}, "S_OK as the system gives it"},
      {L"errNumber", DISPATCH_PROPERTYGET, {}, "a property's value as the system gives it"},
      {L"SetDD",
       DISPATCH_METHOD,
       {Text(brokenXml.Get())},
       "E_INVALIDARG (no error object) as the system gives it"},
      {L"CreateMenu",
       DISPATCH_METHOD,
       {Text(otherRoot.Get())},
       "CreateMenu without a menu root as the system gives it"},
      {L"RefreshTable",
       DISPATCH_METHOD,
       {Text(tables.Get()), Text(database.Get())},
       "0x80040200 with its error object as the system gives it"},
      {L"GetHWND",
       DISPATCH_METHOD,
       {windowRef},
       "E_FAIL with an out-parameter as the system gives it"},
      {L"OpenFile", DISPATCH_METHOD, {modelRef}, "OpenFile's -1 as the system gives it"},
      {L"CreateMenu",
       DISPATCH_METHOD,
       {Text(menu.Get())},
       "CreateMenu without a host as the system gives it"},
  };
  for (const Case& c : cases) {
    Outcomes got = InvokeBothWays(harbolt, vtableInfo.Get(), early.Get(), c.name, c.flags, c.args);
    Check(got.byObject == got.bySystem, c.what);
  }
  // A success other than S_OK: the system's invocation makes it S_OK, the
  // object hands the caller its S_FALSE (the menu definition is loaded, the
  // callback is not in the command map).
  Outcomes callback = InvokeBothWays(harbolt, vtableInfo.Get(), early.Get(), L"ToolbarCallback150",
                                     DISPATCH_METHOD, {});
  Check(callback.bySystem.hr == S_OK && callback.byObject.hr == S_FALSE,
        "S_FALSE reaches the late-bound caller (the system's invocation gives S_OK)");
}

void CheckEarlyBoundErrorInfo(IDispatch* harbolt) {
  Ref<IHarbolt> early;
  CheckHr(S_OK, harbolt->QueryInterface(IID_IHarbolt, reinterpret_cast<void**>(early.Out())),
          "QueryInterface for IHarbolt");
  if (!early) return;
  LONG value = -1;
  CheckHr(S_OK, early->get_ConnIsValid(&value), "get_ConnIsValid through the vtable");
  Check(value == 0, "ConnIsValid is 0 through the vtable");
  SetErrorInfo(0, nullptr);
  Bstr tables(L"Feature");
  Bstr database(L"C:\\windows\\temp\\harbolt-wine-client.db");
  CheckHr(static_cast<HRESULT>(0x80040200), early->RefreshTable(tables.Get(), database.Get()),
          "RefreshTable through the vtable fails with 0x80040200");
  Ref<IErrorInfo> error;
  CheckHr(S_OK, GetErrorInfo(0, error.Out()), "the failing call publishes a COM error object");
  if (!error) return;
  Bstr source, description;
  error->GetSource(source.Out());
  error->GetDescription(description.Out());
  Check(Same(source.Get(), L"Harbolt.Harbolt.1"), "its source is Harbolt.Harbolt.1");
  std::printf("     description \"%s\"\n", Narrow(description.Get()).c_str());
  Check(description.Get() && SysStringLen(description.Get()) > 0, "it has a description");
}

void CheckBitmapHandler() {
  Ref<IDispatch> handler;
  CheckHr(S_OK,
          CoCreateInstance(CLSID_BitmapHandler, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                           reinterpret_cast<void**>(handler.Out())),
          "CoCreateInstance(CLSID_BitmapHandler)");
  if (!handler) return;
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_UI4;
  id.ulVal = 111;
  Variant path;
  CheckHr(S_OK,
          CallByName(handler.Get(), L"CreateBitmapFileFromResource", DISPATCH_METHOD, {id},
                     path.Get(), nullptr),
          "CreateBitmapFileFromResource(111)");
  if (path->vt != VT_BSTR || !path->bstrVal) {
    Check(false, "a bitmap file path comes back");
    return;
  }
  std::wstring file = path->bstrVal;
  std::printf("     %s\n", Narrow(file.c_str()).c_str());
  size_t slash = file.find_last_of(L"\\/");
  Check(file.compare(slash + 1, 3, L"swt") == 0, "the file name starts with swt");
  HANDLE h =
      CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  char header[54] = {};
  DWORD read = 0;
  if (h != INVALID_HANDLE_VALUE) {
    ReadFile(h, header, sizeof header, &read, nullptr);
    CloseHandle(h);
  }
  int width = 0;
  std::memcpy(&width, header + 18, sizeof width);
  Check(read == sizeof header && header[0] == 'B' && header[1] == 'M' && width == 16,
        "the file is a 16-pixel-wide bitmap file");
  Variant none;
  CheckHr(S_OK, CallByName(handler.Get(), L"Dispose", DISPATCH_METHOD, {}, none.Get(), nullptr),
          "Dispose");
  Check(GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES, "Dispose deleted the file");
}

// The text of string `id` in `language`, read from the module's string table.
std::wstring ResourceString(HMODULE module, UINT id, WORD language) {
  HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                MAKEINTRESOURCEW(id / 16 + 1), language);
  if (!found) return L"<none>";
  const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(module, found)));
  for (UINT i = 0; i < id % 16; ++i) p += *p + 1;
  return std::wstring(p + 1, *p);
}

void CheckResourcesAndExports(const wchar_t* modulePath) {
  HMODULE data = LoadLibraryExW(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  Check(data != nullptr, "the module loads as data");
  if (!data) return;
  const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  const WORD simplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
  const WORD traditional = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
  Check(ResourceString(data, 5800, english) == L"menuNode not exists", "string 5800 in English");
  Check(ResourceString(data, 5800, simplified) == L"\x83dc\x5355\x8282\x70b9\x4e0d\x5b58\x5728",
        "string 5800 in Chinese (Simplified)");
  Check(ResourceString(data, 4000, traditional) != L"<none>",
        "string 4000 in Chinese (Traditional)");
  Check(ResourceString(data, 5822, english) == L"ExecQuery is failed\x00a3\x00acunknown error.",
        "string 5822 keeps its exact text");
  int bitmaps = 0;
  for (UINT id : {111u, 112u, 201u, 202u}) {
    if (FindResourceExW(data, reinterpret_cast<LPCWSTR>(RT_BITMAP), MAKEINTRESOURCEW(id),
                        simplified)) {
      ++bitmaps;
    }
  }
  Check(bitmaps == 4, "bitmaps 111, 112, 201 and 202 in Chinese (Simplified)");
  HRSRC script = FindResourceW(data, MAKEINTRESOURCEW(101), L"REGISTRY");
  std::string scriptText;
  if (script) {
    scriptText.assign(static_cast<const char*>(LockResource(LoadResource(data, script))),
                      SizeofResource(data, script));
  }
  Check(scriptText.find("HKLM") != std::string::npos &&
            scriptText.find("{1C227C16-C127-4F54-B26C-EF8F2BA2448D}") != std::string::npos,
        "registry script 101");
  Check(FindResourceW(data, MAKEINTRESOURCEW(1), L"TYPELIB") != nullptr, "type library 1");
  FreeLibrary(data);

  HMODULE module = LoadLibraryW(modulePath);
  Check(module != nullptr, "the module loads");
  if (!module) return;
  const char* names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllMain", "DllRegisterServer",
                         "DllUnregisterServer"};
  int exports = 0;
  for (int ordinal = 1; ordinal <= 5; ++ordinal) {
    FARPROC byName = GetProcAddress(module, names[ordinal - 1]);
    FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    if (byName && byName == byOrdinal) ++exports;
  }
  Check(exports == 5, "the five exports by name and ordinal");
  // Registration sets the thread locale to the system default while it works
  // and gives the caller's back.
  using Server = HRESULT(WINAPI*)();
  auto registerServer = reinterpret_cast<Server>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  auto unregisterServer = reinterpret_cast<Server>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")));
  const LCID before = GetThreadLocale();
  const LCID german = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
  SetThreadLocale(german);
  CheckHr(S_OK, unregisterServer ? unregisterServer() : E_FAIL, "DllUnregisterServer");
  Check(GetThreadLocale() == german, "the thread locale is restored after unregistration");
  CheckHr(S_OK, registerServer ? registerServer() : E_FAIL, "DllRegisterServer");
  Check(GetThreadLocale() == german, "the thread locale is restored after registration");
  SetThreadLocale(before);

  using CanUnload = HRESULT(WINAPI*)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  CoFreeUnusedLibraries();
  CheckHr(S_OK, canUnload ? canUnload() : E_FAIL, "DllCanUnloadNow once every object is released");
  FreeLibrary(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dispatch_client MODULE_PATH\n");
    return 64;
  }
  CheckHr(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx");
  {
    CLSID clsid{};
    CheckHr(S_OK, CLSIDFromProgID(L"Harbolt.Harbolt", &clsid), "CLSIDFromProgID");
    Check(IsEqualCLSID(clsid, CLSID_Harbolt), "Harbolt.Harbolt names CLSID_Harbolt");
    CheckHr(S_OK, CLSIDFromProgID(L"Harbolt.Harbolt.1", &clsid), "the versioned ProgID");
    Ref<IDispatch> harbolt;
    CheckHr(S_OK,
            CoCreateInstance(CLSID_Harbolt, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(harbolt.Out())),
            "CoCreateInstance(CLSID_Harbolt)");
    if (harbolt) {
      CheckNamesAndTypeInfo(harbolt.Get());
      CheckLateBoundCalls(harbolt.Get());
      CheckInvokeAsTheSystemDoes(harbolt.Get());
      CheckEarlyBoundErrorInfo(harbolt.Get());
    }
    CheckBitmapHandler();
  }
  CheckResourcesAndExports(argv[1]);
  CoUninitialize();
  return wine_checks::Summary();
}
