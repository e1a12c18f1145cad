// The module's resources: its string tables, bitmaps and text resources (the
// registry script). On Windows they are the real resources of the module
// that holds this code (the DLL), and the built-in data below is not looked
// at. Elsewhere a module has no resource section, so the caller hands over
// built-in data that stands for it: the very tables that the Windows build
// writes into its resource script.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/ole_picture.h"
#include "platform/win_types.h"

namespace platform {

// A bitmap as pixels: width x height values 0x00RRGGBB, rows from the top.
struct BitmapPixels {
  LONG width = 0;
  LONG height = 0;
  std::vector<uint32_t> pixels;
};

// Built-in data. BuiltInString gives the text of string `id` in `language`
// (null when it has none); BuiltInBitmap fills *bitmap and answers true, or
// answers false and leaves it; BuiltInText gives the text of resource `id`
// (empty when none).
using BuiltInString = const char16_t* (*)(UINT id, LANGID language);
using BuiltInBitmap = bool (*)(UINT id, BitmapPixels* bitmap);
using BuiltInText = std::u16string_view (*)(UINT id);

// The text of string `id` in exactly `language`; empty when the module has
// none in that language. Windows: the module's string table of that language
// (FindResourceExW). Elsewhere: builtIn.
std::u16string LoadStringInLanguage(UINT id, LANGID language, BuiltInString builtIn);

// The text of string `id` as the ordinary string lookup finds it; empty when
// the module has none. Windows: LoadStringW, which picks the language.
// Elsewhere: builtIn's English (United States) text.
std::u16string LoadStringOrdinary(UINT id, BuiltInString builtIn);

// Bitmap resource `id` as a bitmap picture; null when the module has no such
// bitmap. Windows: the module's bitmap loaded as a device-independent section
// bitmap without resizing (LoadImageW), owned by the picture. Elsewhere: a
// picture of builtIn's pixels. Throws std::bad_alloc when out of memory.
ComPtr<IPictureDisp> LoadBitmapPicture(UINT id, BuiltInBitmap builtIn);

// The text of resource `id` of type `type` (for instance "REGISTRY"); empty
// when the module has none. Windows: the resource's bytes read as UTF-8.
// Elsewhere: builtIn.
std::u16string LoadTextResource(UINT id, const char16_t* type, BuiltInText builtIn);

}  // namespace platform
