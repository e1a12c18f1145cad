// Loading a module (a shared library) and finding its exports, as the host
// and COM do with an in-process server.
#pragma once

#include "platform/win_types.h"

using FARPROC = void (*)();

// Loads the module at path (UTF-16); null with the last error set on failure.
// Every successful load is matched by one FreeLibrary.
HMODULE LoadLibraryW(LPCWSTR path);
// The export called name, or null with the last error set.
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);
// The module's full path (null module: the program's), cut to the buffer as
// Windows does; returns the characters written without the terminator.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD bufferChars);

namespace platform {

// The module that holds the code or data at address (without taking a load
// reference), or null.
HMODULE ModuleOfAddress(const void* address);

// Whether the system's loader calls a module's entry point (DllMain) itself
// when it loads and unloads the module: true on Windows. Elsewhere the
// module has to run its start-up and shut-down from its own load hooks.
bool LoaderCallsEntryPoint() noexcept;

}  // namespace platform
