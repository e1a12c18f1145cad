#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/format.h"
#include "platform/last_error.h"
#include "platform/native_path.h"
#include "platform/text.h"

namespace {

std::u16string TempDirectory() {
  for (const char* name : {"TMPDIR", "TMP", "TEMP"}) {
    const char* value = std::getenv(name);
    if (value && *value) return platform::AnsiToWide(value);
  }
  return u"/tmp";
}

bool EndsWithSeparator(std::u16string_view path) {
  return !path.empty() && (path.back() == u'/' || path.back() == u'\\');
}

}  // namespace

BOOL PathFileExistsW(LPCWSTR path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct stat info {};
  if (stat(platform::NativePath(path).c_str(), &info) != 0) {
    SetLastError(platform::Win32ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

DWORD GetTempPathW(DWORD bufferChars, LPWSTR buffer) {
  std::u16string dir = TempDirectory();
  if (!EndsWithSeparator(dir)) dir.push_back(u'/');
  if (!buffer || bufferChars < dir.size() + 1) return static_cast<DWORD>(dir.size() + 1);
  dir.copy(buffer, dir.size());
  buffer[dir.size()] = 0;
  return static_cast<DWORD>(dir.size());
}

UINT GetTempFileNameW(LPCWSTR dir, LPCWSTR prefix, UINT unique, LPWSTR buffer) {
  if (!dir || !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string base = dir;
  if (!EndsWithSeparator(base)) base.push_back(u'/');
  base += std::u16string_view(prefix ? prefix : u"").substr(0, 3);
  // Unique numbers are four hexadecimal digits; start somewhere that differs
  // between processes and walk until a name is free.
  static std::atomic<UINT> calls{0};
  UINT start = static_cast<UINT>(getpid()) * 7919u + calls.fetch_add(1) * 104729u;
  for (UINT attempt = 0; attempt < 0x10000; ++attempt) {
    UINT number = unique ? unique : ((start + attempt) & 0xFFFF);
    if (number == 0) continue;
    std::u16string name = base + platform::FormatWide(platform::kUnlimited, u"%X.tmp", number);
    if (name.size() >= MAX_PATH) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return 0;
    }
    if (unique == 0) {
      int fd = open(platform::NativePath(name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC,
                    0644);
      if (fd < 0) {
        if (errno == EEXIST) continue;
        SetLastError(platform::Win32ErrorFromErrno(errno));
        return 0;
      }
      close(fd);
    }
    name.copy(buffer, name.size());
    buffer[name.size()] = 0;
    return number;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

BOOL DeleteFileW(LPCWSTR path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (unlink(platform::NativePath(path).c_str()) != 0) {
    SetLastError(platform::Win32ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}
