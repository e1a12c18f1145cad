#include "tools/harbolt/addin_registry.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <system_error>

#include "addin/harbolt_ids.h"
#include "loader/addin_loader.h"
#include "platform/console.h"
#include "platform/guid.h"
#include "platform/registry.h"
#include "platform/registry_reading.h"
#include "platform/text.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

void SetRegistryVariable(const std::optional<std::string>& value) {
  std::u16string wide = value ? platform::AnsiToWide(*value) : std::u16string();
  SetEnvironmentVariableW(u"HARBOLT_REGISTRY", value ? wide.c_str() : nullptr);
}

// A new folder under the system's temporary folder, named harbolt-<random>.
std::filesystem::path NewTemporaryFolder() {
  std::random_device random;
  std::error_code error;
  std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) base = "/tmp";
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "harbolt-%08x", static_cast<unsigned>(random()));
    std::filesystem::path folder = base / name;
    if (std::filesystem::create_directory(folder, error)) return folder;
  }
  throw ToolError("cannot create a temporary folder in " + base.string() +
                  (error ? ": " + error.message() : std::string()));
}

}  // namespace

AddinRegistry::AddinRegistry(const ModuleChoice& module) {
  if (!module.chosen && RegisteredModule()) {
    file_ = RegistryFile();
    return;
  }
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(module.path, ignored)) {
    throw ToolError("the add-in module " + module.path.string() +
                    " does not exist.\nBuild it first (scripts/dev.sh test builds everything), or "
                    "give its path with --module or HARBOLT_MODULE.");
  }
  privateFolder_ = NewTemporaryFolder();
  file_ = *privateFolder_ / "registry";
  if (const char* set = std::getenv("HARBOLT_REGISTRY")) previousRegistry_ = std::string(set);
  SetRegistryVariable(file_.string());
  try {
    Register(module.path, true);
  } catch (...) {
    SetRegistryVariable(previousRegistry_);
    std::filesystem::remove_all(*privateFolder_, ignored);
    throw;
  }
}

AddinRegistry::~AddinRegistry() {
  if (!privateFolder_) return;
  SetRegistryVariable(previousRegistry_);
  std::error_code ignored;
  std::filesystem::remove_all(*privateFolder_, ignored);
}

std::filesystem::path AddinRegistry::module() const {
  return RegisteredModule().value_or(std::filesystem::path());
}

std::u16string AddinRegistry::Clsid() { return platform::GuidToString(CLSID_Harbolt); }

std::optional<std::filesystem::path> AddinRegistry::RegisteredModule() {
  const std::u16string clsid = Clsid();
  if (!platform::RegistryKeyExists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\SolidWorks\\AddIns\\" + clsid)) {
    return std::nullopt;
  }
  std::u16string path =
      platform::RegistryDefaultText(HKEY_CLASSES_ROOT, u"CLSID\\" + clsid + u"\\InprocServer32");
  if (path.empty()) return std::nullopt;
  return PathFromWide(path);
}

void AddinRegistry::Register(const std::filesystem::path& module, bool registering) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(module, ignored)) {
    throw ToolError("the add-in module " + module.string() + " does not exist");
  }
  HRESULT hr = loader::AddinLoader::RegisterModule(WidePath(module), registering);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    throw ToolError(
        std::string(registering ? "DllRegisterServer" : "DllUnregisterServer") + " of " +
        module.string() + " failed with " + code +
        (hr == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) ? " (the module does not load)" : ""));
  }
}

}  // namespace harbolt_cli
