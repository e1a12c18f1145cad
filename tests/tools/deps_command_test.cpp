// harbolt deps, run as a process on the sample.
#include <gtest/gtest.h>

#include "tests/tools/harbolt_runner.h"

namespace tools_test {
namespace {

TEST(DepsCommandTest, ListsTheFilesAModelDependsOn) {
  HarboltRunner harbolt;
  RunResult run = harbolt.Run({"deps", Sample("Gearbox.SLDASM").string()});
  if (Contains(run.err, "(E_NOTIMPL)")) GTEST_SKIP() << "pending in the add-in: " << run.err;
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(Sample("Gearbox.SLDASM").string() + " depends on:\n  " +
                Sample("Housing.SLDPRT").string() + "\n  " + Sample("Shaft.SLDPRT").string() +
                "\n  " + Sample("BearingSet.SLDASM").string() + "\n  " +
                Sample("Bearing.SLDPRT").string() + "\n",
            run.out);

  run = harbolt.Run({"deps", Sample("Housing.SLDPRT").string()});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(Sample("Housing.SLDPRT").string() + " depends on no other file.\n", run.out);

  run = harbolt.Run({"deps", "Missing.SLDPRT"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("harbolt deps: the model file Missing.SLDPRT does not exist\n", run.err);
}

}  // namespace
}  // namespace tools_test
