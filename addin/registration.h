// Registration of the module: the add-in's registry script (resource 101),
// the entries of every class of the object map, and the type library; and
// their removal. The module path written is the module's own. Both run with
// the calling thread's locale set to the system default
// (LOCALE_SYSTEM_DEFAULT) and restore it before they return, in every case.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace harbolt {

// Applies script 101 (APPID = the type library's LIBID, MODULE = the module
// path), then writes every class's entries (after the script's, so a value
// both write ends with the class entry's text), then registers the type
// library. Stops at the first failure and returns it; S_OK otherwise.
HRESULT RegisterServer(const std::u16string& modulePath) noexcept;

// Removes the classes' entries and the type library; when that succeeded,
// removes what script 101 wrote. Returns the first failure or S_OK.
HRESULT UnregisterServer(const std::u16string& modulePath) noexcept;

}  // namespace harbolt
