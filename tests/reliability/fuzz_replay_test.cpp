// The fuzz targets' seed corpora and every input fuzzing found a fault with,
// replayed (under the sanitizers in CI): each must run clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_registry.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(FuzzReplayTest, EverySeedAndRegressionInputRunsClean) {
  testing_support::TempDir drive;
  testing_support::ScopedEnv log("HARBOLT_DRIVE_C", drive.path().c_str());
  const std::filesystem::path root = HARBOLT_FUZZ_DIR;
  std::vector<std::string> names;
  for (const auto& [name, target] : fuzz::Targets()) {
    names.push_back(name);
    std::vector<std::filesystem::path> seeds, inputs;
    for (const char* folder : {"corpus", "regressions"}) {
      std::error_code missing;
      for (const auto& entry : std::filesystem::directory_iterator(root / folder / name, missing)) {
        (folder[0] == 'c' ? seeds : inputs).push_back(entry.path());
      }
    }
    EXPECT_FALSE(seeds.empty()) << "no seed corpus for " << name;
    inputs.insert(inputs.end(), seeds.begin(), seeds.end());
    std::sort(inputs.begin(), inputs.end());
    for (const std::filesystem::path& file : inputs) {
      SCOPED_TRACE(file.string());
      const std::string bytes = testing_support::ReadFile(file);
      EXPECT_EQ(0, target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    EXPECT_EQ(0, target(nullptr, 0)) << name << ": the empty input";
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"create_menu", "import", "model", "set_dd", "utf16", "xml"}),
            names);
}

}  // namespace
