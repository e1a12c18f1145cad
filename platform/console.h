// What a command-line program asks of its process: whether its standard
// streams reach a terminal, and its environment (which modules
// loaded into the process read as well).
#pragma once

#include "platform/win_types.h"

constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;

// Sets the process's environment variable name to value (UTF-16); a null
// value removes the variable. FALSE with the last error set on failure (an
// empty name or one holding '=').
BOOL SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value);

// Copies the value of the process's environment variable name (UTF-16) into
// buffer, terminated, and returns its length; when buffer (size characters)
// is too small, returns the size it needs, terminator included. 0 with
// ERROR_ENVVAR_NOT_FOUND as the last error when the variable is not set.
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);

namespace platform {

enum class StandardStream { kOutput, kError };

// True when the stream is attached to a terminal (a console window), where
// a program may redraw a line to show progress; false for files and pipes.
bool IsTerminal(StandardStream stream);

}  // namespace platform
