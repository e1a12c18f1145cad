#include "platform/module.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <string>

#include "platform/last_error.h"
#include "platform/native_path.h"
#include "platform/text.h"

HMODULE LoadLibraryW(LPCWSTR path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* handle = dlopen(platform::NativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) SetLastError(ERROR_MOD_NOT_FOUND);
  return static_cast<HMODULE>(handle);
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (!module || !name) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* symbol = dlsym(module, name);
  if (!symbol) SetLastError(ERROR_PROC_NOT_FOUND);
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return dlclose(module) == 0 ? TRUE : FALSE;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD bufferChars) {
  if (!buffer || bufferChars == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::string path;
  link_map* map = nullptr;
  if (module && dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name &&
      *map->l_name) {
    path = map->l_name;
  } else {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) path.assign(self, static_cast<size_t>(n));
  }
  std::u16string wide = platform::AnsiToWide(path);
  DWORD written = static_cast<DWORD>(wide.size() < bufferChars ? wide.size() : bufferChars - 1);
  wide.copy(buffer, written);
  buffer[written] = 0;
  SetLastError(written < wide.size() ? ERROR_INSUFFICIENT_BUFFER : ERROR_SUCCESS);
  return written;
}

namespace platform {

HMODULE ModuleOfAddress(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return nullptr;
  void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (!handle) return nullptr;
  // The handle stays valid while the module is loaded; give back the
  // reference that dlopen just took.
  dlclose(handle);
  return static_cast<HMODULE>(handle);
}

bool LoaderCallsEntryPoint() noexcept { return false; }

}  // namespace platform
