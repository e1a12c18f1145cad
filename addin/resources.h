// The module's resources other than its strings (common/messages.h): the
// bitmaps and the registry script, with their ids. The built-in data below
// stands for them where the system gives a module no resources, and it is
// what the Windows build writes into its resources (windows/
// resource_generator); code loads them through platform/resources.h.
#pragma once

#include <string_view>

#include "platform/resources.h"
#include "platform/win_types.h"

namespace harbolt {

// Resource ids.
constexpr UINT IDR_HARBOLT = 101;        // registry script of the add-in
constexpr UINT IDB_TOOLBAR_SMALL = 111;  // bitmaps: toolbar images
constexpr UINT IDB_TOOLBAR_LARGE = 112;
constexpr UINT IDB_ADDIN_SMALL = 201;  // the add-in's own images
constexpr UINT IDB_ADDIN_LARGE = 202;

// The resource type of registry scripts.
inline constexpr char16_t kRegistryScriptType[] = u"REGISTRY";

// The pixels of built-in bitmap `id`; false (and *bitmap untouched) when
// there is no such bitmap. Throws std::bad_alloc when out of memory.
bool BuiltInBitmap(UINT id, platform::BitmapPixels* bitmap);

// The text of built-in registry script `id`; empty when there is none.
std::u16string_view BuiltInRegistryScript(UINT id);

}  // namespace harbolt
