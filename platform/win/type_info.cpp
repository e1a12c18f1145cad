// Type information on Windows is the system's: the type library is the one
// compiled from the module's interface definition and embedded in the module
// as type-library resource 1; names, DISPIDs and help strings come from it.
#include "platform/type_info.h"

#include <cstddef>
#include <string>

#include "platform/module.h"
#include "platform/win/layout.h"
#include "platform/win/sdk.h"

static_assert(sizeof(TYPEATTR) == platform::layout::kTypeAttrSize);
static_assert(offsetof(TYPEATTR, typekind) == platform::layout::kTypeAttrTypeKindOffset);
static_assert(offsetof(TYPEATTR, tdescAlias) == platform::layout::kTypeAttrAliasOffset);
static_assert(sizeof(FUNCDESC) == platform::layout::kFuncDescSize);
static_assert(offsetof(FUNCDESC, elemdescFunc) == platform::layout::kFuncDescElemOffset);
static_assert(sizeof(TLIBATTR) == platform::layout::kTLibAttrSize);

namespace platform {
namespace {

// The path of the module that holds this code: the one whose resources carry
// the type library.
std::u16string OwnModulePath() {
  HMODULE module = ModuleOfAddress(reinterpret_cast<const void*>(&OwnModulePath));
  if (!module) return {};
  std::u16string path(32768, u'\0');
  DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

// True when the embedded library is the one the description names.
bool Matches(ITypeLib* lib, const TypeLibDescription& description) {
  TLIBATTR* attr = nullptr;
  if (FAILED(lib->GetLibAttr(&attr)) || !attr) return false;
  bool same = attr->guid == description.libid && attr->wMajorVerNum == description.majorVersion &&
              attr->wMinorVerNum == description.minorVersion && attr->lcid == description.lcid;
  lib->ReleaseTLibAttr(attr);
  return same;
}

}  // namespace

ComPtr<ITypeLib> CreateTypeLib(TypeLibDescription description) {
  std::u16string path = OwnModulePath();
  void* loaded = nullptr;
  ComPtr<ITypeLib> lib;
  if (path.empty() || FAILED(sdk::LoadTypeLibFromModule(path.c_str(), &loaded))) return lib;
  lib.Attach(static_cast<ITypeLib*>(loaded));
  if (!Matches(lib.Get(), description)) lib.Reset();
  return lib;
}

}  // namespace platform

HRESULT DispGetIDsOfNames(ITypeInfo* info, LPOLESTR* names, UINT count, DISPID* dispids) {
  return platform::sdk::DispGetIDsOfNames(info, names, count, dispids);
}

HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir) {
  return platform::sdk::RegisterTypeLib(lib, fullPath, helpDir);
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND syskind) {
  return platform::sdk::UnRegisterTypeLib(&libid, major, minor, lcid, syskind);
}
