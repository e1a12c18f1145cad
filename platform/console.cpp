#include "platform/console.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/last_error.h"
#include "platform/text.h"

BOOL SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value) {
  std::string narrowName = name ? platform::WideToAnsi(name) : std::string();
  if (narrowName.empty() || narrowName.find('=') != std::string::npos) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int result = value ? setenv(narrowName.c_str(), platform::WideToAnsi(value).c_str(), 1)
                     : unsetenv(narrowName.c_str());
  if (result != 0) {
    SetLastError(platform::Win32ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  std::string narrowName = name ? platform::WideToAnsi(name) : std::string();
  const char* value = narrowName.empty() ? nullptr : getenv(narrowName.c_str());
  if (!value) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  std::u16string wide = platform::AnsiToWide(value);
  if (!buffer || size <= wide.size()) return static_cast<DWORD>(wide.size() + 1);
  wide.copy(buffer, wide.size());
  buffer[wide.size()] = u'\0';
  return static_cast<DWORD>(wide.size());
}

namespace platform {

bool IsTerminal(StandardStream stream) {
  return isatty(stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace platform
