// The registry: a tree of keys with named values, under the predefined roots
// HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, with the Win32
// functions of the same names. On Windows they are the system's registry.
// Elsewhere the whole tree lives in one text file, HARBOLT_REGISTRY (default $HOME/.harbolt/registry), read for
// every call and rewritten whole (through a temporary file and a rename) for
// every change. Key and value names compare without regard to ASCII case.
// Results are Win32 error codes (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ...).
#pragma once

#include "platform/last_error.h"

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;
using LSTATUS = LONG;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(ULONG_PTR{0x80000000});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(ULONG_PTR{0x80000001});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(ULONG_PTR{0x80000002});

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD ERROR_BADDB = 1009;
constexpr DWORD ERROR_KEY_HAS_CHILDREN = 1020;

// Opens subKey below key, creating it and every missing key on the way.
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                        REGSAM access, void* security, HKEY* result, DWORD* disposition);
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result);
LSTATUS RegCloseKey(HKEY key);
// A null or empty name is the key's default value. REG_SZ data is UTF-16 with
// its terminator; REG_DWORD four bytes.
LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD bytes);
// With data null, reports type and size only. ERROR_MORE_DATA (and the size
// needed) when the buffer is too small.
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* bytes);
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name);
// Deletes a key that has no subkeys (ERROR_KEY_HAS_CHILDREN otherwise).
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey);
// Deletes a key with everything below it.
LSTATUS RegDeleteTreeW(HKEY key, LPCWSTR subKey);
// The name of the index-th direct subkey, in name order; ERROR_NO_MORE_ITEMS
// past the last.
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameChars, DWORD* reserved,
                      LPWSTR keyClass, DWORD* classChars, void* lastWriteTime);
