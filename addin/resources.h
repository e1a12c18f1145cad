// The module's resources other than its strings (common/messages.h): the
// bitmaps and the registry script. They are data built into the module, as
// a Windows build would carry them as resources.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace harbolt {

// Resource ids.
constexpr UINT IDR_HARBOLT = 101;        // registry script of the add-in
constexpr UINT IDB_TOOLBAR_SMALL = 111;  // bitmaps: toolbar images
constexpr UINT IDB_TOOLBAR_LARGE = 112;
constexpr UINT IDB_ADDIN_SMALL = 201;  // the add-in's own images
constexpr UINT IDB_ADDIN_LARGE = 202;

// A bitmap resource as pixels: width x height values 0x00RRGGBB, rows from
// the top.
struct Bitmap {
  LONG width = 0;
  LONG height = 0;
  std::vector<uint32_t> pixels;
};

// Loads bitmap resource `id`; false (and *bitmap untouched) when the module
// has no such bitmap. Throws std::bad_alloc when out of memory.
bool LoadBitmapResource(UINT id, Bitmap* bitmap);

// The text of registry script `id`; empty when the module has no such
// script.
std::u16string_view LoadRegistryScript(UINT id);

}  // namespace harbolt
