// What a command-line program asks of its process: whether its standard
// streams reach a terminal, and changes to its environment (which modules
// loaded into the process read as well).
#pragma once

#include "platform/win_types.h"

constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;

// Sets the process's environment variable name to value (UTF-16); a null
// value removes the variable. FALSE with the last error set on failure (an
// empty name or one holding '=').
BOOL SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value);

namespace platform {

enum class StandardStream { kOutput, kError };

// True when the stream is attached to a terminal (a console window), where
// a program may redraw a line to show progress; false for files and pipes.
bool IsTerminal(StandardStream stream);

}  // namespace platform
