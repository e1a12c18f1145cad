#include "platform/registry_reading.h"

namespace platform {

std::u16string RegistryDefaultText(HKEY root, const std::u16string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  DWORD type = 0;
  DWORD bytes = 0;
  std::u16string text;
  if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      type == REG_SZ && bytes >= sizeof(OLECHAR)) {
    text.resize(bytes / sizeof(OLECHAR));
    if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &bytes) != ERROR_SUCCESS) {
      text.clear();
    }
    while (!text.empty() && text.back() == u'\0') text.pop_back();
  }
  RegCloseKey(key);
  return text;
}

bool RegistryKeyExists(HKEY root, const std::u16string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace platform
