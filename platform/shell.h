// Starting another program, as the shell's "open" verb does: on Windows
// through the shell (ShellExecuteExW), elsewhere as described below.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

constexpr INT SW_SHOWNORMAL = 1;

// Starts file (a program name looked up on the PATH, or a path) with the
// parameters text split into words as a shell splits them (blanks separate;
// double or single quotes group; a backslash escapes the next character).
// Does not wait for the program. Returns a value above 32 on success, else
// an error code no greater than 32 (2: file not found) with the last error
// set. operation, directory and showCommand are accepted for their shape.
HINSTANCE ShellExecuteW(HWND window, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand);

namespace platform {

// The words of a parameter text, split as ShellExecuteW splits them.
std::vector<std::u16string> SplitShellWords(std::u16string_view text);

}  // namespace platform
