// harbolt register / unregister: the add-in's entries in the user's
// registry, which the host (and every later harbolt run) then uses.
#include <iostream>

#include "tools/harbolt/addin_registry.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/tool_error.h"
#include "tools/harbolt/tool_paths.h"

namespace harbolt_cli {
namespace {

constexpr OptionSpec kOptions[] = {kModuleOption};

}  // namespace

const CommandSpec kRegisterSpec{
    "register",
    "Register the add-in in your registry, as an installer does (DllRegisterServer).",
    "[--module PATH]",
    "Writes the add-in's classes, type library and add-in entry into the registry\n"
    "file HARBOLT_REGISTRY (default $HOME/.harbolt/registry). Later runs then load\n"
    "the add-in from the registered module. Without a registration every run\n"
    "registers the module in a private registry of its own, so this is optional.\n"
    "\n"
    "  --module PATH  the module to register (default: the one built next to this\n"
    "                 program, or HARBOLT_MODULE)\n",
    0,
    0,
    kOptions,
};

const CommandSpec kUnregisterSpec{
    "unregister",
    "Remove the add-in from your registry (DllUnregisterServer).",
    "[--module PATH]",
    "Removes what 'harbolt register' wrote into HARBOLT_REGISTRY (default\n"
    "$HOME/.harbolt/registry), through the registered module (or, when that one\n"
    "no longer exists, the module given or built next to this program).\n"
    "\n"
    "  --module PATH  the module whose entries to remove\n",
    0,
    0,
    kOptions,
};

int RunRegister(const CommandLine& line) {
  ModuleChoice module = ChooseModule(line.Value("module"));
  AddinRegistry::Register(module.path, true);
  std::cout << "Registered the add-in " << module.path.string() << " in " << RegistryFile().string()
            << ".\n";
  return kExitOk;
}

int RunUnregister(const CommandLine& line) {
  std::optional<std::filesystem::path> registered = AddinRegistry::RegisteredModule();
  if (!registered) {
    std::cout << "The add-in is not registered in " << RegistryFile().string()
              << "; nothing to remove.\n";
    return kExitOk;
  }
  std::error_code ignored;
  std::filesystem::path module = *registered;
  if (line.Has("module") || !std::filesystem::is_regular_file(module, ignored)) {
    module = ChooseModule(line.Value("module")).path;
  }
  AddinRegistry::Register(module, false);
  std::cout << "Removed the add-in " << registered->string() << " from " << RegistryFile().string()
            << ".\n";
  return kExitOk;
}

}  // namespace harbolt_cli
