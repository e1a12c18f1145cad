#include "tools/harbolt/tool_paths.h"

#include <cstdlib>
#include <system_error>

#include "platform/module.h"
#include "platform/text.h"

namespace harbolt_cli {
namespace {

constexpr std::string_view kSampleMarker = "Gearbox.SLDASM";

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

std::filesystem::path Absolute(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  return (ignored ? path : absolute).lexically_normal();
}

bool HoldsSample(const std::filesystem::path& folder) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(folder / kSampleMarker, ignored);
}

}  // namespace

std::filesystem::path ExecutablePath() {
  OLECHAR buffer[4096];
  DWORD length = GetModuleFileNameW(nullptr, buffer, sizeof buffer / sizeof buffer[0]);
  return PathFromWide(std::u16string_view(buffer, length));
}

ModuleChoice ChooseModule(const std::optional<std::string>& option) {
  if (option && !option->empty()) return {Absolute(*option), true};
  if (std::optional<std::string> set = Environment("HARBOLT_MODULE")) return {Absolute(*set), true};
  // The build's layout, from CMake: the module relative to the program's
  // folder.
  return {Absolute(ExecutablePath().parent_path() / HARBOLT_MODULE_FROM_PROGRAM), false};
}

std::optional<std::filesystem::path> FindSampleFolder() {
  const std::filesystem::path candidates[] = {
      ExecutablePath().parent_path() / HARBOLT_SOURCE_FROM_PROGRAM / "examples" / "sample",
      std::filesystem::path(HARBOLT_SOURCE_DIR) / "examples" / "sample",
  };
  for (const std::filesystem::path& folder : candidates) {
    if (HoldsSample(folder)) return Absolute(folder);
  }
  return std::nullopt;
}

std::filesystem::path RegistryFile() {
  if (std::optional<std::string> set = Environment("HARBOLT_REGISTRY")) return *set;
  std::optional<std::string> home = Environment("HOME");
  return std::filesystem::path(home ? *home : "/tmp") / ".harbolt" / "registry";
}

std::u16string WidePath(const std::filesystem::path& path) {
  return platform::AnsiToWide(path.string());
}

std::filesystem::path PathFromWide(std::u16string_view text) {
  return std::filesystem::path(platform::WideToAnsi(text));
}

std::string ShownPath(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::path current = std::filesystem::current_path(ignored);
  std::filesystem::path absolute = Absolute(path);
  if (!ignored) {
    std::filesystem::path relative = absolute.lexically_relative(current);
    if (!relative.empty() && *relative.begin() != "..") return relative.string();
  }
  return absolute.string();
}

}  // namespace harbolt_cli
