// OLE Automation through the SDK: strings, variants, arrays, error objects,
// type libraries and pictures.
// clang-format off
// windows.h comes first: the other SDK headers build on it.
#include <windows.h>

#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>
// clang-format on

#include <cstddef>
#include <vector>

#include "platform/win/layout.h"
#include "platform/win/sdk.h"

namespace layout = platform::layout;

static_assert(sizeof(GUID) == layout::kGuidSize);
static_assert(sizeof(VARIANT) == layout::kVariantSize);
static_assert(offsetof(VARIANT, bstrVal) == layout::kVariantValueOffset);
static_assert(sizeof(SAFEARRAY) == layout::kSafeArraySize);
static_assert(offsetof(SAFEARRAY, pvData) == layout::kSafeArrayDataOffset);
static_assert(offsetof(SAFEARRAY, rgsabound) == layout::kSafeArrayBoundOffset);
static_assert(sizeof(DISPPARAMS) == layout::kDispParamsSize);
static_assert(sizeof(EXCEPINFO) == layout::kExcepInfoSize);
static_assert(offsetof(EXCEPINFO, scode) == layout::kExcepInfoScodeOffset);
static_assert(sizeof(TYPEATTR) == layout::kTypeAttrSize);
static_assert(offsetof(TYPEATTR, typekind) == layout::kTypeAttrTypeKindOffset);
static_assert(offsetof(TYPEATTR, tdescAlias) == layout::kTypeAttrAliasOffset);
static_assert(sizeof(FUNCDESC) == layout::kFuncDescSize);
static_assert(offsetof(FUNCDESC, elemdescFunc) == layout::kFuncDescElemOffset);
static_assert(sizeof(TLIBATTR) == layout::kTLibAttrSize);
static_assert(sizeof(OLECHAR) == sizeof(char16_t));

namespace platform::sdk {
namespace {

LPCOLESTR Wide(const char16_t* text) { return reinterpret_cast<LPCOLESTR>(text); }
LPOLESTR Wide(char16_t* text) { return reinterpret_cast<LPOLESTR>(text); }
char16_t* Utf16(BSTR text) { return reinterpret_cast<char16_t*>(text); }

VARIANT* AsVariant(void* v) { return static_cast<VARIANT*>(v); }
SAFEARRAY* AsArray(void* a) { return static_cast<SAFEARRAY*>(a); }

// Closes a handle when it goes.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A screen-compatible device context for reading bitmaps; released when it goes.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The bitmap as a 24-bit bottom-up bitmap file; empty when it cannot be read.
std::vector<BYTE> EncodeBitmapFile(HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
    return {};
  }
  const LONG width = info.bmWidth;
  const LONG height = info.bmHeight;
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  const DWORD imageBytes = stride * static_cast<DWORD>(height);

  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  request.bmiHeader.biWidth = width;
  request.bmiHeader.biHeight = height;  // bottom-up, as the file stores rows
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 24;
  request.bmiHeader.biCompression = BI_RGB;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;

  std::vector<BYTE> bytes(file.bfSize);
  BITMAPINFOHEADER header = request.bmiHeader;
  header.biSizeImage = imageBytes;
  CopyMemory(bytes.data(), &file, sizeof file);
  CopyMemory(bytes.data() + sizeof file, &header, sizeof header);
  ScreenDc dc;
  if (!dc.get() || GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height),
                             bytes.data() + file.bfOffBits, &request, DIB_RGB_COLORS) != height) {
    return {};
  }
  return bytes;
}

}  // namespace

char16_t* SysAllocStringLen(const char16_t* text, uint32_t length) {
  return Utf16(::SysAllocStringLen(Wide(text), length));
}
int32_t SysReAllocString(char16_t** bstr, const char16_t* text) {
  return ::SysReAllocString(reinterpret_cast<BSTR*>(bstr), Wide(text));
}
void SysFreeString(char16_t* bstr) { ::SysFreeString(Wide(bstr)); }
uint32_t SysStringByteLen(char16_t* bstr) { return ::SysStringByteLen(Wide(bstr)); }

void VariantInit(void* variant) { ::VariantInit(AsVariant(variant)); }
int32_t VariantClear(void* variant) { return ::VariantClear(AsVariant(variant)); }
int32_t VariantCopy(void* dest, const void* src) {
  return ::VariantCopy(AsVariant(dest), const_cast<VARIANT*>(static_cast<const VARIANT*>(src)));
}
int32_t VariantChangeType(void* dest, const void* src, uint16_t flags, uint16_t vt) {
  return ::VariantChangeType(AsVariant(dest),
                             const_cast<VARIANT*>(static_cast<const VARIANT*>(src)), flags, vt);
}

void* SafeArrayCreate(uint16_t vt, uint32_t dims, void* bounds) {
  return ::SafeArrayCreate(vt, dims, static_cast<SAFEARRAYBOUND*>(bounds));
}
void* SafeArrayCreateVector(uint16_t vt, int32_t lowerBound, uint32_t elements) {
  return ::SafeArrayCreateVector(vt, lowerBound, elements);
}
int32_t SafeArrayDestroy(void* array) { return ::SafeArrayDestroy(AsArray(array)); }
int32_t SafeArrayCopy(void* source, void** copy) {
  return ::SafeArrayCopy(AsArray(source), reinterpret_cast<SAFEARRAY**>(copy));
}
uint32_t SafeArrayGetDim(void* array) { return ::SafeArrayGetDim(AsArray(array)); }
uint32_t SafeArrayGetElemsize(void* array) { return ::SafeArrayGetElemsize(AsArray(array)); }
int32_t SafeArrayGetVartype(void* array, uint16_t* vt) {
  return ::SafeArrayGetVartype(AsArray(array), vt);
}
int32_t SafeArrayGetLBound(void* array, uint32_t dim, int32_t* bound) {
  LONG value = 0;
  HRESULT hr = ::SafeArrayGetLBound(AsArray(array), dim, &value);
  *bound = value;
  return hr;
}
int32_t SafeArrayGetUBound(void* array, uint32_t dim, int32_t* bound) {
  LONG value = 0;
  HRESULT hr = ::SafeArrayGetUBound(AsArray(array), dim, &value);
  *bound = value;
  return hr;
}
int32_t SafeArrayGetElement(void* array, int32_t* indices, void* value) {
  static_assert(sizeof(LONG) == sizeof(int32_t));
  return ::SafeArrayGetElement(AsArray(array), reinterpret_cast<LONG*>(indices), value);
}
int32_t SafeArrayPutElement(void* array, int32_t* indices, void* value) {
  return ::SafeArrayPutElement(AsArray(array), reinterpret_cast<LONG*>(indices), value);
}
int32_t SafeArrayAccessData(void* array, void** data) {
  return ::SafeArrayAccessData(AsArray(array), data);
}
int32_t SafeArrayUnaccessData(void* array) { return ::SafeArrayUnaccessData(AsArray(array)); }

int32_t CreateErrorInfo(void** info) {
  return ::CreateErrorInfo(reinterpret_cast<ICreateErrorInfo**>(info));
}
int32_t SetErrorInfo(uint32_t reserved, void* info) {
  return ::SetErrorInfo(reserved, static_cast<IErrorInfo*>(info));
}
int32_t GetErrorInfo(uint32_t reserved, void** info) {
  return ::GetErrorInfo(reserved, reinterpret_cast<IErrorInfo**>(info));
}

int32_t LoadTypeLibFromModule(const char16_t* path, void** lib) {
  return ::LoadTypeLibEx(Wide(path), REGKIND_NONE, reinterpret_cast<ITypeLib**>(lib));
}
int32_t DispGetIDsOfNames(void* typeInfo, char16_t** names, uint32_t count, int32_t* dispids) {
  static_assert(sizeof(DISPID) == sizeof(int32_t));
  return ::DispGetIDsOfNames(static_cast<ITypeInfo*>(typeInfo), reinterpret_cast<LPOLESTR*>(names),
                             count, reinterpret_cast<DISPID*>(dispids));
}
int32_t RegisterTypeLib(void* lib, const char16_t* path, const char16_t* helpDirectory) {
  return ::RegisterTypeLib(static_cast<ITypeLib*>(lib), const_cast<LPOLESTR>(Wide(path)),
                           const_cast<LPOLESTR>(Wide(helpDirectory)));
}
int32_t UnRegisterTypeLib(const void* libid, uint16_t major, uint16_t minor, uint32_t lcid,
                          int32_t syskind) {
  return ::UnRegisterTypeLib(*static_cast<const GUID*>(libid), major, minor, lcid,
                             static_cast<SYSKIND>(syskind));
}

int32_t CreateBitmapPicture(int32_t width, int32_t height, const uint32_t* pixels,
                            void** pictureDisp) {
  *pictureDisp = nullptr;
  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  request.bmiHeader.biWidth = width;
  request.bmiHeader.biHeight = -height;  // rows from the top, as given
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &request, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return E_OUTOFMEMORY;
  // 0x00RRGGBB is the byte order B, G, R, 0 that a 32-bit section holds.
  CopyMemory(bits, pixels, static_cast<size_t>(width) * height * sizeof(uint32_t));
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap;
  // The picture owns the bitmap from here on.
  HRESULT hr = OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, pictureDisp);
  if (FAILED(hr)) DeleteObject(bitmap);
  return hr;
}

int32_t SavePictureFile(void* dispatch, const char16_t* path) {
  if (!dispatch || !path) return E_POINTER;
  IPicture* picture = nullptr;
  HRESULT hr = static_cast<IDispatch*>(dispatch)->QueryInterface(
      IID_IPicture, reinterpret_cast<void**>(&picture));
  if (FAILED(hr) || !picture) return E_INVALIDARG;
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  bool isBitmap = SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
                  SUCCEEDED(picture->get_Handle(&handle)) && handle;
  // The bitmap is written from its pixels: IPicture::SaveAsFile of some
  // COM run-times writes nothing for a picture made from a bitmap handle.
  std::vector<BYTE> bytes;
  if (isBitmap) bytes = EncodeBitmapFile(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
  picture->Release();
  if (!isBitmap) return E_INVALIDARG;
  if (bytes.empty()) return E_FAIL;
  ScopedHandle file(CreateFileW(Wide(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return E_FAIL;
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    return E_FAIL;
  }
  return S_OK;
}

}  // namespace platform::sdk
