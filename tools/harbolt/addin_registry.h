// The registry entries through which the host finds the add-in. A caller
// run by a user who never registered the add-in still works: it registers
// the module in a private registry file of its own for the life of this
// object, as the host would find it after a real registration.
#pragma once

#include <filesystem>
#include <optional>

#include "tools/harbolt/tool_paths.h"

namespace harbolt_cli {

class AddinRegistry {
 public:
  // Uses the user's registry (HARBOLT_REGISTRY, or $HOME/.harbolt/registry)
  // when it holds the add-in and the user did not choose a module; else
  // creates a new temporary folder with a registry file, points
  // HARBOLT_REGISTRY at it for this process and registers module.path there
  // through the module's DllRegisterServer. Throws ToolError when the module
  // does not exist or does not register.
  explicit AddinRegistry(const ModuleChoice& module);
  // Restores HARBOLT_REGISTRY and removes the private folder.
  ~AddinRegistry();
  AddinRegistry(const AddinRegistry&) = delete;
  AddinRegistry& operator=(const AddinRegistry&) = delete;

  bool isPrivate() const { return privateFolder_.has_value(); }
  // The registry file in use.
  const std::filesystem::path& file() const { return file_; }
  // The module path the registry in use gives for the add-in.
  std::filesystem::path module() const;

  // The add-in's CLSID as a braced text.
  static std::u16string Clsid();
  // The module path that the registry of this process (HARBOLT_REGISTRY, or
  // the default) gives for the add-in; nullopt when the add-in is not
  // registered there (its add-in key or its module path is missing).
  static std::optional<std::filesystem::path> RegisteredModule();
  // Loads the module and calls its DllRegisterServer (or
  // DllUnregisterServer), on the registry of this process. Throws ToolError
  // when the module is missing, does not load or fails.
  static void Register(const std::filesystem::path& module, bool registering);

 private:
  std::filesystem::path file_;
  std::optional<std::filesystem::path> privateFolder_;
  std::optional<std::string> previousRegistry_;
};

}  // namespace harbolt_cli
