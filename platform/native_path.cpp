#include "platform/native_path.h"

#include <cstdlib>
#include <string>

#include "platform/text.h"

namespace platform {
namespace {

bool IsDriveLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::filesystem::path DriveRoot(char16_t letter) {
  char lower = static_cast<char>(letter | 0x20);
  std::string variable = "HARBOLT_DRIVE_";
  variable.push_back(static_cast<char>(lower - 'a' + 'A'));
  if (const char* set = std::getenv(variable.c_str()); set && *set) return set;
  const char* home = std::getenv("HOME");
  std::filesystem::path root = home && *home ? home : "/tmp";
  return root / ".harbolt" / (std::string("drive_") + lower);
}

std::string WithSlashes(std::u16string_view text) {
  std::string out = Utf16ToUtf8(text);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

}  // namespace

std::filesystem::path NativePath(std::u16string_view windowsPath) {
  if (windowsPath.size() >= 2 && IsDriveLetter(windowsPath[0]) && windowsPath[1] == u':') {
    std::string rest = WithSlashes(windowsPath.substr(2));
    size_t start = rest.find_first_not_of('/');
    std::filesystem::path root = DriveRoot(windowsPath[0]);
    return start == std::string::npos ? root : root / rest.substr(start);
  }
  return std::filesystem::path(WithSlashes(windowsPath));
}

}  // namespace platform
