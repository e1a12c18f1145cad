// The process's environment and console are the system's.
#include "platform/console.h"

#include "platform/win/sdk.h"

BOOL SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value) {
  return platform::sdk::SetEnvironmentVariableW(name, value);
}

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  return platform::sdk::GetEnvironmentVariableW(name, buffer, size);
}

namespace platform {

bool IsTerminal(StandardStream stream) {
  return sdk::IsTerminal(stream == StandardStream::kOutput ? 1 : 2);
}

}  // namespace platform
