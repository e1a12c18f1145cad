// The registry is the system's.
#include "platform/registry.h"

#include "platform/win/sdk.h"

namespace sdk = platform::sdk;

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR keyClass, DWORD options,
                        REGSAM access, void*, HKEY* result, DWORD* disposition) {
  return sdk::RegCreateKeyExW(key, subKey, keyClass, options, access,
                              reinterpret_cast<void**>(result), disposition);
}

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result) {
  return sdk::RegOpenKeyExW(key, subKey, options, access, reinterpret_cast<void**>(result));
}

LSTATUS RegCloseKey(HKEY key) { return sdk::RegCloseKey(key); }

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD bytes) {
  return sdk::RegSetValueExW(key, name, type, data, bytes);
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* bytes) {
  return sdk::RegQueryValueExW(key, name, type, data, bytes);
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) { return sdk::RegDeleteValueW(key, name); }

LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey) { return sdk::RegDeleteKeyW(key, subKey); }

LSTATUS RegDeleteTreeW(HKEY key, LPCWSTR subKey) { return sdk::RegDeleteTreeW(key, subKey); }

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameChars, DWORD*, LPWSTR keyClass,
                      DWORD* classChars, void*) {
  return sdk::RegEnumKeyExW(key, index, name, nameChars, keyClass, classChars);
}
