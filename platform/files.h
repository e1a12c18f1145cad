// The file services of the Win32 API that the system uses: existence test,
// temporary files, deletion. Paths are UTF-16. On Windows these are the
// system's functions; elsewhere paths go through platform::NativePath
// (backslashes count as separators). Failures set the thread's last error.
#pragma once

#include "platform/win_types.h"

constexpr UINT MAX_PATH = 260;

// TRUE when a file or directory exists at the path.
BOOL PathFileExistsW(LPCWSTR path);
// Writes the temporary directory with a trailing separator; returns its
// length, or the buffer size needed (terminator included) when it is too
// small, or 0 on failure.
DWORD GetTempPathW(DWORD bufferChars, LPWSTR buffer);
// With unique 0: creates a new empty file named dir + prefix (first three
// characters) + hexadecimal number + ".tmp" and writes its path into buffer
// (MAX_PATH characters). Returns the number used, 0 on failure.
UINT GetTempFileNameW(LPCWSTR dir, LPCWSTR prefix, UINT unique, LPWSTR buffer);
BOOL DeleteFileW(LPCWSTR path);
