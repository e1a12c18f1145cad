// Where the command-line caller finds what it needs: its own program file,
// the add-in module, the bundled sample and the user's registry file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace harbolt_cli {

// The running program's file.
std::filesystem::path ExecutablePath();

// The add-in module to load, and whether the user chose it (with --module
// or HARBOLT_MODULE) rather than taking the one built next to the program.
struct ModuleChoice {
  std::filesystem::path path;
  bool chosen = false;
};

// option (the --module value) when given, else HARBOLT_MODULE when set, else
// the module where the build puts it relative to the program (build/bin/harbolt
// and build/lib/libharbolt.so). The path is made absolute; it may not exist.
ModuleChoice ChooseModule(const std::optional<std::string>& option);

// The folder of the bundled sample (the models, dictionary.xml, menu.xml):
// examples/sample of the source tree, found next to the program first (so a
// copied tree works) and then where the tree was when the program was built.
// nullopt when neither holds the sample.
std::optional<std::filesystem::path> FindSampleFolder();

// The registry file this process uses: HARBOLT_REGISTRY when set, else
// $HOME/.harbolt/registry (the platform's rule).
std::filesystem::path RegistryFile();

// A path as a UTF-16 text for the add-in, and back.
std::u16string WidePath(const std::filesystem::path& path);
std::filesystem::path PathFromWide(std::u16string_view text);

// A path as the user reads it: relative to the current folder when it lies
// below it, else absolute.
std::string ShownPath(const std::filesystem::path& path);

}  // namespace harbolt_cli
