#include "platform/type_info.h"

#include <memory>
#include <string>
#include <utility>

#include "platform/com_object.h"
#include "platform/format.h"
#include "platform/registry.h"
#include "platform/registry_reading.h"
#include "platform/text.h"

namespace {

HRESULT CopyText(const std::u16string& text, BSTR* out) {
  if (!out) return S_OK;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

class TypeInfo final : public ComObject<ITypeInfo> {
 public:
  // Holds a reference on lib, whose description `type` belongs to.
  TypeInfo(ITypeLib* lib, UINT index, const platform::TypeDescription& type)
      : lib_(lib), index_(index), type_(type) {}

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attr) override {
    if (!attr) return E_INVALIDARG;
    auto a = std::make_unique<TYPEATTR>();
    a->guid = type_.guid;
    a->lcid = 0;
    a->memidConstructor = MEMBERID_NIL;
    a->memidDestructor = MEMBERID_NIL;
    a->typekind = type_.kind;
    a->cFuncs = static_cast<WORD>(type_.members.size());
    a->cImplTypes = static_cast<WORD>(type_.implemented.size());
    a->cbSizeVft = static_cast<WORD>(7 * sizeof(void*));
    a->cbAlignment = sizeof(void*);
    a->wTypeFlags = type_.flags;
    TLIBATTR* libAttr = nullptr;
    if (SUCCEEDED(lib_->GetLibAttr(&libAttr))) {
      a->wMajorVerNum = libAttr->wMajorVerNum;
      a->wMinorVerNum = libAttr->wMinorVerNum;
      lib_->ReleaseTLibAttr(libAttr);
    }
    *attr = a.release();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** desc) override {
    if (!desc) return E_INVALIDARG;
    if (index >= type_.members.size()) return TYPE_E_ELEMENTNOTFOUND;
    const platform::MemberDescription& m = type_.members[index];
    auto d = std::make_unique<FUNCDESC>();
    d->memid = m.dispid;
    d->funckind = FUNC_DISPATCH;
    d->invkind = m.kind;
    d->callconv = CC_STDCALL;
    d->cParams = static_cast<SHORT>(m.parameters.size());
    d->cParamsOpt = 0;
    d->oVft = 0;
    d->elemdescFunc.tdesc.vt = VT_ERROR;  // every member returns an HRESULT
    d->elemdescFunc.paramdesc.wParamFlags = PARAMFLAG_NONE;
    d->wFuncFlags = 0;
    d->lprgelemdescParam = m.parameters.empty() ? nullptr : new ELEMDESC[m.parameters.size()]();
    for (size_t i = 0; i < m.parameters.size(); ++i) {
      d->lprgelemdescParam[i].tdesc.vt = m.parameters[i].vt;
      d->lprgelemdescParam[i].paramdesc.wParamFlags = m.parameters[i].flags;
    }
    *desc = d.release();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return TYPE_E_ELEMENTNOTFOUND; }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* names, UINT maxNames,
                                     UINT* count) override {
    if (!names || !count) return E_INVALIDARG;
    *count = 0;
    const platform::MemberDescription* m = Find(memid);
    if (!m) return TYPE_E_ELEMENTNOTFOUND;
    if (maxNames == 0) return S_OK;
    HRESULT hr = CopyText(m->name, &names[(*count)++]);
    for (size_t i = 0; SUCCEEDED(hr) && i < m->parameters.size() && *count < maxNames; ++i) {
      hr = CopyText(m->parameters[i].name, &names[(*count)++]);
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override {
    if (!ref) return E_INVALIDARG;
    if (index >= type_.implemented.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ref = index;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* flags) override {
    if (!flags) return E_INVALIDARG;
    if (index >= type_.implemented.size()) return TYPE_E_ELEMENTNOTFOUND;
    *flags = index == 0 ? 1 : 0;  // IMPLTYPEFLAG_FDEFAULT for the first
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* memids) override {
    if (!names || !memids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) memids[i] = MEMBERID_NIL;
    const platform::MemberDescription* m = FindByName(names[0]);
    if (!m) return DISP_E_UNKNOWNNAME;
    memids[0] = m->dispid;
    HRESULT hr = S_OK;
    // Further names are the member's parameter names; their DISPIDs are
    // their positions.
    for (UINT i = 1; i < count; ++i) {
      hr = DISP_E_UNKNOWNNAME;
      for (size_t p = 0; p < m->parameters.size(); ++p) {
        if (names[i] && platform::EqualsIgnoringAsciiCase(names[i], m->parameters[p].name)) {
          memids[i] = static_cast<MEMBERID>(p);
          hr = S_OK;
        }
      }
      if (FAILED(hr)) return hr;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    // Invocation is the object's own IDispatch::Invoke; no vtable calls from
    // type information on this platform.
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString,
                                             DWORD* helpContext, BSTR* helpFile) override {
    const std::u16string* itemName = &type_.name;
    const std::u16string* help = &type_.helpString;
    if (memid != MEMBERID_NIL) {
      const platform::MemberDescription* m = Find(memid);
      if (!m) return TYPE_E_ELEMENTNOTFOUND;
      itemName = &m->name;
      help = &m->helpString;
    }
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = nullptr;
    HRESULT hr = CopyText(*itemName, name);
    return SUCCEEDED(hr) ? CopyText(*help, docString) : hr;
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) override {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    if (ref >= type_.implemented.size()) return TYPE_E_ELEMENTNOTFOUND;
    return lib_->GetTypeInfoOfGuid(type_.implemented[ref], info);
  }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR* mops) override {
    if (mops) *mops = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** lib, UINT* index) override {
    if (index) *index = index_;
    return lib ? lib_.CopyTo(lib) : S_OK;
  }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* desc) override {
    if (!desc) return;
    delete[] desc->lprgelemdescParam;
    delete desc;
  }
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

 private:
  const platform::MemberDescription* Find(MEMBERID memid) const {
    for (const auto& m : type_.members) {
      if (m.dispid == memid) return &m;
    }
    return nullptr;
  }
  const platform::MemberDescription* FindByName(const OLECHAR* name) const {
    if (!name) return nullptr;
    for (const auto& m : type_.members) {
      if (platform::EqualsIgnoringAsciiCase(name, m.name)) return &m;
    }
    return nullptr;
  }

  ComPtr<ITypeLib> lib_;
  UINT index_;
  const platform::TypeDescription& type_;
};

class TypeLib final : public ComObject<ITypeLib> {
 public:
  explicit TypeLib(platform::TypeLibDescription description)
      : description_(std::move(description)) {}

  UINT STDMETHODCALLTYPE GetTypeInfoCount() override {
    return static_cast<UINT>(description_.types.size());
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* kind) override {
    if (!kind) return E_INVALIDARG;
    if (index >= description_.types.size()) return TYPE_E_ELEMENTNOTFOUND;
    *kind = description_.types[index].kind;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    for (UINT i = 0; i < description_.types.size(); ++i) {
      if (description_.types[i].guid == guid) return GetTypeInfo(i, info);
    }
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** attr) override {
    if (!attr) return E_INVALIDARG;
    *attr = new TLIBATTR{description_.libid,        description_.lcid,         SYS_WIN64,
                         description_.majorVersion, description_.minorVersion, 0};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* name, BSTR* docString,
                                             DWORD* helpContext, BSTR* helpFile) override {
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = nullptr;
    const std::u16string* itemName = &description_.name;
    const std::u16string* help = &description_.helpString;
    if (index >= 0) {
      if (static_cast<size_t>(index) >= description_.types.size()) return TYPE_E_ELEMENTNOTFOUND;
      itemName = &description_.types[index].name;
      help = &description_.types[index].helpString;
    }
    HRESULT hr = CopyText(*itemName, name);
    return SUCCEEDED(hr) ? CopyText(*help, docString) : hr;
  }
  HRESULT STDMETHODCALLTYPE IsName(LPOLESTR name, ULONG, BOOL* found) override {
    if (!name || !found) return E_INVALIDARG;
    *found = FALSE;
    for (const auto& t : description_.types) {
      if (platform::EqualsIgnoringAsciiCase(name, t.name)) *found = TRUE;
      for (const auto& m : t.members) {
        if (platform::EqualsIgnoringAsciiCase(name, m.name)) *found = TRUE;
      }
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE FindName(LPOLESTR, ULONG, ITypeInfo**, MEMBERID*, USHORT*) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* attr) override { delete attr; }

  const platform::TypeLibDescription& description() const { return description_; }

 private:
  platform::TypeLibDescription description_;
};

HRESULT TypeLib::GetTypeInfo(UINT index, ITypeInfo** info) {
  if (!info) return E_INVALIDARG;
  *info = nullptr;
  if (index >= description_.types.size()) return TYPE_E_ELEMENTNOTFOUND;
  *info = MakeComObject<TypeInfo, ITypeInfo>(this, index, description_.types[index]).Detach();
  return S_OK;
}

}  // namespace

namespace {

LSTATUS SetText(const std::u16string& keyPath, const OLECHAR* name, std::u16string_view value) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return status;
  std::u16string text(value);
  status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(OLECHAR)));
  RegCloseKey(key);
  return status;
}

std::u16string VersionText(WORD major, WORD minor) {
  return platform::FormatWide(platform::kUnlimited, u"%x.%x", major, minor);
}

// The automation marshaler, which serves every dual interface.
constexpr char16_t kOleAutomationProxy[] = u"{00020424-0000-0000-C000-000000000046}";

}  // namespace

namespace platform {

ComPtr<ITypeLib> CreateTypeLib(TypeLibDescription description) {
  return MakeComObject<TypeLib, ITypeLib>(std::move(description));
}

}  // namespace platform

HRESULT DispGetIDsOfNames(ITypeInfo* info, LPOLESTR* names, UINT count, DISPID* dispids) {
  if (!info) return E_INVALIDARG;
  return info->GetIDsOfNames(names, count, dispids);
}

HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir) {
  if (!lib || !fullPath) return E_INVALIDARG;
  TLIBATTR* attr = nullptr;
  HRESULT hr = lib->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  std::u16string libid = platform::GuidToString(attr->guid);
  std::u16string base =
      u"TypeLib\\" + libid + u"\\" + VersionText(attr->wMajorVerNum, attr->wMinorVerNum);
  std::u16string version = VersionText(attr->wMajorVerNum, attr->wMinorVerNum);
  lib->ReleaseTLibAttr(attr);

  ScopedBstr name, help;
  lib->GetDocumentation(-1, name.Receive(), help.Receive(), nullptr, nullptr);
  LSTATUS status = SetText(base, nullptr, help.View());
  if (status == ERROR_SUCCESS) status = SetText(base + u"\\0\\win64", nullptr, fullPath);
  if (status == ERROR_SUCCESS) status = SetText(base + u"\\FLAGS", nullptr, u"0");
  if (status == ERROR_SUCCESS)
    status = SetText(base + u"\\HELPDIR", nullptr, helpDir ? helpDir : u"");
  for (UINT i = 0; status == ERROR_SUCCESS && i < lib->GetTypeInfoCount(); ++i) {
    TYPEKIND kind{};
    lib->GetTypeInfoType(i, &kind);
    if (kind != TKIND_DISPATCH && kind != TKIND_INTERFACE) continue;
    ComPtr<ITypeInfo> info;
    lib->GetTypeInfo(i, info.ReleaseAndGetAddressOf());
    TYPEATTR* typeAttr = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&typeAttr))) return E_FAIL;
    std::u16string key = u"Interface\\" + platform::GuidToString(typeAttr->guid);
    info->ReleaseTypeAttr(typeAttr);
    ScopedBstr interfaceName;
    lib->GetDocumentation(static_cast<INT>(i), interfaceName.Receive(), nullptr, nullptr, nullptr);
    status = SetText(key, nullptr, interfaceName.View());
    if (status == ERROR_SUCCESS)
      status = SetText(key + u"\\ProxyStubClsid32", nullptr, kOleAutomationProxy);
    if (status == ERROR_SUCCESS) status = SetText(key + u"\\TypeLib", nullptr, libid);
    if (status == ERROR_SUCCESS) status = SetText(key + u"\\TypeLib", u"Version", version);
  }
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID, SYSKIND) {
  std::u16string id = platform::GuidToString(libid);
  // The interfaces registered with this library name it under their TypeLib key.
  HKEY interfaces = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, u"Interface", 0, KEY_READ, &interfaces) == ERROR_SUCCESS) {
    std::vector<std::u16string> ours;
    OLECHAR name[64];
    for (DWORD i = 0;; ++i) {
      DWORD chars = 64;
      if (RegEnumKeyExW(interfaces, i, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      std::u16string key = u"Interface\\" + std::u16string(name);
      if (platform::EqualsIgnoringAsciiCase(
              platform::RegistryDefaultText(HKEY_CLASSES_ROOT, key + u"\\TypeLib"), id))
        ours.push_back(key);
    }
    RegCloseKey(interfaces);
    for (const std::u16string& key : ours) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  }
  std::u16string versionKey = u"TypeLib\\" + id + u"\\" + VersionText(major, minor);
  LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, versionKey.c_str());
  // The library's own key goes with its last version.
  std::u16string libKey = u"TypeLib\\" + id;
  RegDeleteKeyW(HKEY_CLASSES_ROOT, libKey.c_str());
  if (status == ERROR_FILE_NOT_FOUND) return MakeHresult(0x8002801C);  // TYPE_E_REGISTRYACCESS
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}
