// Small readings of the registry built on the Win32 functions of
// platform/registry.h, the same on every platform.
#pragma once

#include <string>

#include "platform/registry.h"

namespace platform {

// The default text value of root\path; empty when the key or the value is
// missing or is not text.
std::u16string RegistryDefaultText(HKEY root, const std::u16string& path);

// Whether the key root\path exists.
bool RegistryKeyExists(HKEY root, const std::u16string& path);

}  // namespace platform
