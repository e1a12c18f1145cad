// Runs the built command-line caller as a process, as a user runs it: in a
// folder of the test's own with a home of its own (so the user's registry
// is $HOME/.harbolt/registry inside it), and captures its exit status and
// output.
//
// By default the user's registry holds the add-in (registered once for all
// tests and copied), which spares every run the registration in a private
// registry; Registry::kEmpty leaves it empty, as for a user who never
// registered.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tools_test {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class HarboltRunner {
 public:
  enum class Registry { kRegistered, kEmpty };

  explicit HarboltRunner(Registry registry = Registry::kRegistered);

  // Runs build/bin/harbolt with the arguments in folder (default: the
  // test's folder). extraEnvironment: "NAME=value" entries to add.
  RunResult Run(const std::vector<std::string>& args, const std::filesystem::path& folder = {},
                const std::vector<std::string>& extraEnvironment = {}) const;

  // The test's folder, and paths in it.
  const std::filesystem::path& dir() const { return dir_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
  // The user's registry file of the runs.
  std::filesystem::path RegistryFile() const;
  // Copies the bundled sample (models, dictionary.xml, menu.xml) into a new
  // folder of that name; returns the folder.
  std::filesystem::path CopySample(const std::string& name) const;

 private:
  testing_support::TempDir dir_;
};

// The bundled sample's folder and files in it.
std::filesystem::path Sample(const std::string& name = {});

// Whether out holds text.
bool Contains(const std::string& out, const std::string& text);

}  // namespace tools_test
