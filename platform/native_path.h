// Turns the Windows paths that the system names (for instance the log file
// "c:\1\dov_cax_log.txt") into paths of this file system.
#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// On Windows every path is taken as it stands. Elsewhere a drive path
// "x:\..." maps below the directory that stands for drive x: HARBOLT_DRIVE_X
// (for drive c, HARBOLT_DRIVE_C) when set, else $HOME/.harbolt/drive_x.
// Backslashes become separators. Any other path is taken as it stands, with
// backslashes as separators too.
std::filesystem::path NativePath(std::u16string_view windowsPath);

}  // namespace platform
