// Windows paths are the file system's own paths.
#include "platform/native_path.h"

#include <string>

namespace platform {

std::filesystem::path NativePath(std::u16string_view windowsPath) {
  return std::filesystem::path(std::u16string(windowsPath));
}

}  // namespace platform
