// The file services are the system's own.
#include "platform/files.h"

#include "platform/win/sdk.h"

BOOL PathFileExistsW(LPCWSTR path) { return platform::sdk::PathFileExistsW(path); }

DWORD GetTempPathW(DWORD bufferChars, LPWSTR buffer) {
  return platform::sdk::GetTempPathW(bufferChars, buffer);
}

UINT GetTempFileNameW(LPCWSTR dir, LPCWSTR prefix, UINT unique, LPWSTR buffer) {
  return platform::sdk::GetTempFileNameW(dir, prefix, unique, buffer);
}

BOOL DeleteFileW(LPCWSTR path) { return platform::sdk::DeleteFileW(path); }
