// Type information: ITypeLib and ITypeInfo with the Windows method order,
// and a type library built from a description held in data. The add-in
// serves its IDispatch names, DISPIDs and help strings from it, and writes
// its registry entries with RegisterTypeLib.
//
// Only the members that describe dispatch interfaces and classes are served:
// type and library attributes, function descriptions, names, name-to-DISPID
// lookup and documentation. The rest answer E_NOTIMPL.
#pragma once

#include <string>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/unknown.h"

enum TYPEKIND : int {
  TKIND_ENUM = 0,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,
  TKIND_DISPATCH,
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION
};
enum INVOKEKIND : int {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8
};
enum FUNCKIND : int { FUNC_VIRTUAL = 0, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH };
enum CALLCONV : int { CC_STDCALL = 4 };
enum SYSKIND : int { SYS_WIN16 = 0, SYS_WIN32, SYS_MAC, SYS_WIN64 };

constexpr WORD TYPEFLAG_FAPPOBJECT = 0x1;
constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
constexpr WORD TYPEFLAG_FHIDDEN = 0x10;
constexpr WORD TYPEFLAG_FDUAL = 0x40;
constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;
constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;
constexpr USHORT PARAMFLAG_NONE = 0;
constexpr USHORT PARAMFLAG_FIN = 0x1;
constexpr USHORT PARAMFLAG_FOUT = 0x2;
constexpr USHORT PARAMFLAG_FRETVAL = 0x8;
constexpr MEMBERID MEMBERID_NIL = DISPID_UNKNOWN;

// The structures below have the Windows layout field for field (the fields
// that nothing here fills stay zero), so that the same code reads them from
// the system's type information on Windows.
using HREFTYPE = DWORD;

struct TYPEDESC {
  union {
    TYPEDESC* lptdesc;
    void* lpadesc;
    HREFTYPE hreftype;
  };
  VARTYPE vt;
};
struct PARAMDESC {
  void* pparamdescex;
  USHORT wParamFlags;
};
struct ELEMDESC {
  TYPEDESC tdesc;
  PARAMDESC paramdesc;
};
struct IDLDESC {
  ULONG_PTR dwReserved;
  USHORT wIDLFlags;
};

struct TYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  LPOLESTR lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
};

struct FUNCDESC {
  MEMBERID memid;
  SCODE* lprgscode;
  ELEMDESC* lprgelemdescParam;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  SHORT cParams;
  SHORT cParamsOpt;
  SHORT oVft;
  SHORT cScodes;
  ELEMDESC elemdescFunc;
  WORD wFuncFlags;
};

struct TLIBATTR {
  GUID guid;
  LCID lcid;
  SYSKIND syskind;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  WORD wLibFlags;
};

struct ITypeLib;
struct ITypeComp;
struct VARDESC;

struct ITypeInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attr) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** comp) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** desc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** desc) = 0;
  // The member's name followed by its parameters' names.
  virtual HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* names, UINT maxNames,
                                             UINT* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* ref) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* flags) = 0;
  // Member names compare without regard to case; DISP_E_UNKNOWNNAME when one
  // is unknown (its DISPID then reads MEMBERID_NIL).
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count,
                                                  MEMBERID* memids) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(PVOID instance, MEMBERID memid, WORD flags,
                                           DISPPARAMS* params, VARIANT* result,
                                           EXCEPINFO* excepinfo, UINT* argErr) = 0;
  // memid MEMBERID_NIL documents the type itself. Each out argument may be null.
  virtual HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString,
                                                     DWORD* helpContext, BSTR* helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID memid, INVOKEKIND kind, BSTR* dll,
                                                BSTR* name, WORD* ordinal) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID memid, INVOKEKIND kind,
                                                    PVOID* address) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                                   PVOID* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMops(MEMBERID memid, BSTR* mops) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** lib, UINT* index) = 0;
  virtual void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attr) = 0;
  virtual void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* desc) = 0;
  virtual void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* desc) = 0;

 protected:
  ~ITypeInfo() = default;
};
HB_DECLARE_IID(ITypeInfo, "{00020401-0000-0000-C000-000000000046}");

struct ITypeLib : IUnknown {
  virtual UINT STDMETHODCALLTYPE GetTypeInfoCount() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** info) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* kind) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** attr) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** comp) = 0;
  // index -1 documents the library itself.
  virtual HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* name, BSTR* docString,
                                                     DWORD* helpContext, BSTR* helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsName(LPOLESTR name, ULONG hash, BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindName(LPOLESTR name, ULONG hash, ITypeInfo** infos,
                                             MEMBERID* memids, USHORT* found) = 0;
  virtual void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* attr) = 0;

 protected:
  ~ITypeLib() = default;
};
HB_DECLARE_IID(ITypeLib, "{00020402-0000-0000-C000-000000000046}");

namespace platform {

// One parameter of a member: its name, its automation type (VT_BYREF set for
// out parameters) and its PARAMFLAG_* flags.
struct ParameterDescription {
  std::u16string name;
  VARTYPE vt;
  USHORT flags;
};

struct MemberDescription {
  std::u16string name;
  DISPID dispid;
  INVOKEKIND kind;
  std::u16string helpString;
  std::vector<ParameterDescription> parameters;
};

// A dual or dispatch interface (members in table order) or a class (with its
// default interface in `implemented`).
struct TypeDescription {
  std::u16string name;
  GUID guid;
  TYPEKIND kind;
  WORD flags;
  std::u16string helpString;
  std::vector<MemberDescription> members;
  std::vector<GUID> implemented;
};

struct TypeLibDescription {
  std::u16string name;
  GUID libid;
  WORD majorVersion;
  WORD minorVersion;
  LCID lcid;
  std::u16string helpString;
  std::vector<TypeDescription> types;
};

// A type library serving the description. On Windows the library is the one
// compiled into the module that holds this code (type-library resource 1),
// and the description only names it: null unless its LIBID, version and
// locale are the description's.
ComPtr<ITypeLib> CreateTypeLib(TypeLibDescription description);

}  // namespace platform

// The DISPIDs of names through a type info (IDispatch::GetIDsOfNames's work).
HRESULT DispGetIDsOfNames(ITypeInfo* info, LPOLESTR* names, UINT count, DISPID* dispids);

// Writes the library's registry entries (HKCR\TypeLib\{LIBID}\major.minor
// with its help string, the win64 path, FLAGS and HELPDIR; and for each
// interface HKCR\Interface\{IID} with its name, the automation proxy and the
// library), or removes them.
HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir);
HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND syskind);
