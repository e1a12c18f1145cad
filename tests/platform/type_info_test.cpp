#include "platform/type_info.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr GUID kLib = platform::GuidLiteral("{7B8BAA99-AB92-415D-A210-42402A6E7686}");
constexpr GUID kIface = platform::GuidLiteral("{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}");
constexpr GUID kClass = platform::GuidLiteral("{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");

platform::TypeLibDescription Library() {
  platform::TypeDescription iface{u"IThing", kIface, TKIND_DISPATCH,
                                  TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE, u"IThing Interface",
                                  {}, {}};
  iface.members.push_back({u"Run", 24, INVOKE_FUNC, u"method Run",
                           {{u"bsTable", VT_BSTR, PARAMFLAG_FIN},
                            {u"bsPath", VT_BSTR, PARAMFLAG_FIN}}});
  iface.members.push_back({u"errNumber", 32, INVOKE_PROPERTYGET, u"property errNumber",
                           {{u"pVal", VT_I4 | VT_BYREF, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}}});
  platform::TypeDescription cls{u"Thing", kClass, TKIND_COCLASS, TYPEFLAG_FCANCREATE,
                                u"Thing Class", {}, {kIface}};
  return {u"ThingLib", kLib, 1, 0, 0x409, u"Thing 1.0 Type Library", {iface, cls}};
}

TEST(TypeInfoTest, ServesNamesDispidsAndHelpStrings) {
  ComPtr<ITypeLib> lib = platform::CreateTypeLib(Library());
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(kIface, info.ReleaseAndGetAddressOf()), S_OK);
  lib.Reset();  // the type info keeps its library alive

  LPOLESTR names[] = {const_cast<LPOLESTR>(u"ERRNUMBER")};
  DISPID id = 0;
  ASSERT_EQ(DispGetIDsOfNames(info.Get(), names, 1, &id), S_OK);
  EXPECT_EQ(id, 32);
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(u"Walk")};
  EXPECT_EQ(DispGetIDsOfNames(info.Get(), unknown, 1, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, MEMBERID_NIL);

  ScopedBstr name, doc;
  ASSERT_EQ(info->GetDocumentation(32, name.Receive(), doc.Receive(), nullptr, nullptr), S_OK);
  EXPECT_EQ(name.Str(), u"errNumber");
  EXPECT_EQ(doc.Str(), u"property errNumber");
  ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, nullptr, doc.Receive(), nullptr, nullptr), S_OK);
  EXPECT_EQ(doc.Str(), u"IThing Interface");
  EXPECT_EQ(info->GetDocumentation(99, nullptr, nullptr, nullptr, nullptr),
            TYPE_E_ELEMENTNOTFOUND);

  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->cFuncs, 2);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  info->ReleaseTypeAttr(attr);

  FUNCDESC* desc = nullptr;
  ASSERT_EQ(info->GetFuncDesc(1, &desc), S_OK);  // table order
  EXPECT_EQ(desc->memid, 32);
  EXPECT_EQ(desc->invkind, INVOKE_PROPERTYGET);
  ASSERT_EQ(desc->cParams, 1);
  EXPECT_EQ(desc->lprgelemdescParam[0].tdesc.vt, VT_I4 | VT_BYREF);
  info->ReleaseFuncDesc(desc);
  EXPECT_EQ(info->GetFuncDesc(2, &desc), TYPE_E_ELEMENTNOTFOUND);

  BSTR memberNames[3] = {};
  UINT count = 0;
  ASSERT_EQ(info->GetNames(24, memberNames, 3, &count), S_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(BstrView(memberNames[0]), u"Run");
  EXPECT_EQ(BstrView(memberNames[2]), u"bsPath");
  for (BSTR b : memberNames) SysFreeString(b);
}

TEST(TypeInfoTest, RegistersAndUnregistersTheLibrary) {
  testing_support::TempDir dir;
  testing_support::ScopedEnv env("HARBOLT_REGISTRY", (dir / "registry").c_str());
  ComPtr<ITypeLib> lib = platform::CreateTypeLib(Library());
  ASSERT_EQ(RegisterTypeLib(lib.Get(), u"/opt/libthing.so", u"/opt"), S_OK);
  auto read = [](const char16_t* path, const char16_t* name) -> std::u16string {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return u"<missing>";
    }
    char16_t buffer[128] = {};
    DWORD bytes = sizeof buffer;
    LSTATUS s = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                 &bytes);
    RegCloseKey(key);
    return s == ERROR_SUCCESS ? buffer : u"<missing>";
  };
  EXPECT_EQ(read(u"TypeLib\\{7B8BAA99-AB92-415D-A210-42402A6E7686}\\1.0", nullptr),
            u"Thing 1.0 Type Library");
  EXPECT_EQ(read(u"TypeLib\\{7B8BAA99-AB92-415D-A210-42402A6E7686}\\1.0\\0\\win64", nullptr),
            u"/opt/libthing.so");
  EXPECT_EQ(read(u"Interface\\{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}", nullptr), u"IThing");
  EXPECT_EQ(read(u"Interface\\{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}\\TypeLib", nullptr),
            u"{7B8BAA99-AB92-415D-A210-42402A6E7686}");

  ASSERT_EQ(UnRegisterTypeLib(kLib, 1, 0, 0, SYS_WIN64), S_OK);
  EXPECT_EQ(read(u"TypeLib\\{7B8BAA99-AB92-415D-A210-42402A6E7686}\\1.0", nullptr), u"<missing>");
  EXPECT_EQ(read(u"Interface\\{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}", nullptr), u"<missing>");
  EXPECT_NE(read(u"TypeLib", nullptr), u"never created");
}

}  // namespace
