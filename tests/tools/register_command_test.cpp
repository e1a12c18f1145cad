// harbolt register and unregister, run as processes on the user's registry
// (the test's $HOME/.harbolt/registry, or HARBOLT_REGISTRY).
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/tools/harbolt_runner.h"

namespace tools_test {
namespace {

TEST(RegisterCommandTest, LaterRunsLoadTheRegisteredModule) {
  HarboltRunner harbolt(HarboltRunner::Registry::kEmpty);
  const std::string registry = harbolt.RegistryFile().string();
  RunResult run = harbolt.Run({"unregister"});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("The add-in is not registered in " + registry + "; nothing to remove.\n", run.out);

  // A copy of the module, registered and then taken away: the runs that
  // follow go to the registered module and fail to load it.
  std::filesystem::create_directories(harbolt / "copy");
  const std::filesystem::path copy = harbolt / "copy" / "libharbolt-copy.so";
  std::filesystem::copy_file(HARBOLT_MODULE_PATH, copy);
  run = harbolt.Run({"register", "--module", copy.string()});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Registered the add-in " + copy.string() + " in " + registry + ".\n", run.out);
  const std::string entries = testing_support::ReadFile(registry);
  EXPECT_TRUE(Contains(entries, "SolidWorks\\AddIns\\{1C227C16-C127-4F54-B26C-EF8F2BA2448D}"));
  EXPECT_TRUE(Contains(entries, copy.string()));
  EXPECT_EQ(0, harbolt.Run({"deps", Sample("Housing.SLDPRT").string()}).status);

  std::filesystem::remove(copy);
  run = harbolt.Run({"deps", Sample("Housing.SLDPRT").string()});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("harbolt deps: the add-in module " + copy.string() + " (registered in your registry " +
                registry +
                ") does not load\nRegister the module you built with 'harbolt register', or "
                "remove the entry with 'harbolt unregister'.\n",
            run.err);

  // Unregistering goes through the built module when the registered one is
  // gone; afterwards every run registers privately again.
  run = harbolt.Run({"unregister"});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Removed the add-in " + copy.string() + " from " + registry + ".\n", run.out);
  EXPECT_FALSE(Contains(testing_support::ReadFile(registry), "AddIns\\{1C227C16"));
  EXPECT_EQ(0, harbolt.Run({"deps", Sample("Housing.SLDPRT").string()}).status);
}

TEST(RegisterCommandTest, UsesTheRegistryNamedByHarboltRegistry) {
  HarboltRunner harbolt(HarboltRunner::Registry::kEmpty);
  const std::filesystem::path other = harbolt / "other.registry";
  RunResult run = harbolt.Run({"register"}, {}, {"HARBOLT_REGISTRY=" + other.string()});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_TRUE(Contains(run.out, " in " + other.string() + ".\n")) << run.out;
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_FALSE(std::filesystem::exists(harbolt.RegistryFile()));

  run = harbolt.Run({"register", "--module", (harbolt / "none.so").string()});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "harbolt register: the add-in module " + (harbolt / "none.so").string() + " does not exist\n",
      run.err);
}

}  // namespace
}  // namespace tools_test
