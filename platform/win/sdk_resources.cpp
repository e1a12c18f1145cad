// A module's resources through the SDK: string tables, text resources and
// bitmaps.
// clang-format off
// windows.h comes first: the other SDK headers build on it.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>
// clang-format on

#include "platform/win/sdk.h"

namespace platform::sdk {
namespace {

HMODULE Module(void* module) { return static_cast<HMODULE>(module); }

const char16_t* Utf16(const WCHAR* text) { return reinterpret_cast<const char16_t*>(text); }

}  // namespace

const char16_t* FindStringResource(void* module, uint32_t id, uint16_t language, uint32_t* length) {
  *length = 0;
  // A string table holds its strings in blocks of 16, each string as its
  // length followed by its characters.
  HRSRC found = FindResourceExW(Module(module), RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
  HGLOBAL loaded = found ? LoadResource(Module(module), found) : nullptr;
  const WCHAR* entry = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
  if (!entry) return nullptr;
  for (uint32_t i = 0; i < id % 16; ++i) entry += *entry + 1;
  if (*entry == 0) return nullptr;
  *length = *entry;
  return Utf16(entry + 1);
}

const char16_t* LoadStringResource(void* module, uint32_t id, uint32_t* length) {
  const WCHAR* text = nullptr;
  // With a zero buffer size LoadStringW hands out the resource's own text.
  int found = LoadStringW(Module(module), id, reinterpret_cast<LPWSTR>(&text), 0);
  *length = found > 0 && text ? static_cast<uint32_t>(found) : 0;
  return *length ? Utf16(text) : nullptr;
}

const void* FindDataResource(void* module, const char16_t* type, uint32_t id, uint32_t* bytes) {
  *bytes = 0;
  HRSRC found =
      FindResourceW(Module(module), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(type));
  HGLOBAL loaded = found ? LoadResource(Module(module), found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data) *bytes = SizeofResource(Module(module), found);
  return data;
}

int32_t LoadBitmapPicture(void* module, uint32_t id, void** pictureDisp) {
  *pictureDisp = nullptr;
  HANDLE image =
      LoadImageW(Module(module), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!image) return HRESULT_FROM_WIN32(GetLastError());
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = static_cast<HBITMAP>(image);
  // The picture owns the bitmap from here on.
  HRESULT hr = OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, pictureDisp);
  if (FAILED(hr)) DeleteObject(image);
  return hr;
}

}  // namespace platform::sdk
