// harbolt menu, run as a process: the groups the add-in builds in the host
// from the sample's menu definition, and what a click sends to the caller.
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/tools/harbolt_runner.h"

namespace tools_test {
namespace {

class MenuCommandTest : public ::testing::Test {
 protected:
  RunResult Menu(const std::string& menu, const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {"menu", model_.string(), "--menu", menu};
    args.insert(args.end(), more.begin(), more.end());
    RunResult run = harbolt_.Run(args);
    pending_ = Contains(run.err, "CreateMenu is not implemented by this add-in (E_NOTIMPL)");
    return run;
  }

  HarboltRunner harbolt_;
  std::filesystem::path model_ = Sample("Gearbox.SLDASM");
  bool pending_ = false;
};

TEST_F(MenuCommandTest, PrintsTheGroupsAndWhatEachClickSendsTheCaller) {
  RunResult run = Menu(Sample("menu.xml").string(), {"--click", "3", "--click", "1"});
  if (pending_) GTEST_SKIP() << "pending in the add-in: " << run.err;
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  EXPECT_EQ("The add-in built these menus in the host from " + Sample("menu.xml").string() +
                ":\n"
                "  Harbolt   (group 1)\n"
                "     1  Export model\n"
                "     2  Import changes\n"
                "        ----\n"
                "        logout\n"
                "  Harbolt\\Tools   (group 2)\n"
                "     3  Show dependencies\n"
                "     4  Open drawing\n"
                "Clicked 3 \"Show dependencies\": the caller received FireClickMenu with\n"
                "  handle:      harbolt\n"
                "  document:    " +
                model_.string() +
                "\n"
                "  menu item:   <mnu id=\"3\" caption=\"Show dependencies\" action=\"deps\"/>\n"
                "Clicked 1 \"Export model\": the caller received FireClickMenu with\n"
                "  handle:      harbolt\n"
                "  document:    " +
                model_.string() +
                "\n"
                "  menu item:   <mnu id=\"1\" caption=\"Export model\" action=\"export\"/>\n",
            run.out);
}

TEST_F(MenuCommandTest, ReportsBadDefinitionsAndUnknownCommands) {
  testing_support::WriteFile(harbolt_ / "broken.xml", "<mnus caption=\"x\">");
  RunResult run = Menu("broken.xml");
  if (pending_) GTEST_SKIP() << "pending in the add-in: " << run.err;
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "harbolt menu: CreateMenu returned E_INVALIDARG (0x80070057): error 1: Document not "
      "parsed successfully.\n",
      run.err);

  testing_support::WriteFile(harbolt_ / "rootless.xml", "<menu caption=\"x\"/>");
  run = Menu("rootless.xml");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "harbolt menu: CreateMenu returned E_INVALIDARG (0x80070057): error -1: "
      "CHarbolt::CreateMenu():menuNode not exists\n",
      run.err);

  run = Menu("none.xml");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("harbolt menu: the menu definition none.xml does not exist\n", run.err);

  run = Menu(Sample("menu.xml").string(), {"--click", "5"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("harbolt menu: there is no command 5 in the menus (their commands are 1 to 4)\n",
            run.err);

  // A command whose id the click cannot find again (leading zeros) sends
  // nothing.
  testing_support::WriteFile(harbolt_ / "zeros.xml",
                             "<mnus caption=\"Z\"><mnu id=\"007\" caption=\"Seven\"/></mnus>");
  run = Menu("zeros.xml", {"--click", "1"});
  EXPECT_EQ(1, run.status);
  EXPECT_TRUE(Contains(run.out,
                       "Clicked 1 \"Seven\": the caller received nothing "
                       "(ToolbarCallback100 returned S_FALSE)\n"))
      << run.out;
}

}  // namespace
}  // namespace tools_test
