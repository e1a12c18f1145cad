// The fuzz targets' seed corpora and the inputs of every fault fuzzing
// found, replayed in the ordinary build (and under the sanitizers in CI):
// each must run clean, so a fixed fault stays fixed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_registry.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

// The files of a folder, in name order; none when it is missing.
std::vector<std::filesystem::path> Files(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(FuzzReplayTest, EverySeedAndRegressionInputRunsClean) {
  testing_support::TempDir drive;
  testing_support::ScopedEnv log("HARBOLT_DRIVE_C", drive.path().c_str());
  const std::filesystem::path root = HARBOLT_FUZZ_DIR;
  std::vector<std::string> names;
  for (const auto& [name, target] : fuzz::Targets()) {
    names.push_back(name);
    const std::vector<std::filesystem::path> seeds = Files(root / "corpus" / name);
    EXPECT_FALSE(seeds.empty()) << "no seed corpus for " << name;
    std::vector<std::filesystem::path> inputs = seeds;
    for (const auto& file : Files(root / "regressions" / name)) inputs.push_back(file);
    for (const std::filesystem::path& file : inputs) {
      SCOPED_TRACE(file.string());
      const std::string bytes = testing_support::ReadFile(file);
      EXPECT_EQ(0, target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    // The empty input too.
    EXPECT_EQ(0, target(nullptr, 0)) << name;
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"create_menu", "import", "model", "set_dd", "utf16", "xml"}),
            names);
}

}  // namespace
