// Modules are the system's DLLs.
#include "platform/module.h"

#include "platform/win/sdk.h"

HMODULE LoadLibraryW(LPCWSTR path) {
  return static_cast<HMODULE>(platform::sdk::LoadLibraryW(path));
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  return platform::sdk::GetProcAddress(module, name);
}

BOOL FreeLibrary(HMODULE module) { return platform::sdk::FreeLibrary(module); }

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD bufferChars) {
  return platform::sdk::GetModuleFileNameW(module, buffer, bufferChars);
}

namespace platform {

HMODULE ModuleOfAddress(const void* address) {
  return static_cast<HMODULE>(sdk::ModuleOfAddress(address));
}

bool LoaderCallsEntryPoint() noexcept { return true; }

}  // namespace platform
