#include "platform/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/last_error.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ShellTest, SplitsParametersAsAShellDoes) {
  using V = std::vector<std::u16string>;
  EXPECT_EQ(platform::SplitShellWords(u"5  123456"), (V{u"5", u"123456"}));
  EXPECT_EQ(platform::SplitShellWords(u"  "), V{});
  EXPECT_EQ(platform::SplitShellWords(u"\"a b\" 'c \"d' e\\ f \"\""),
            (V{u"a b", u"c \"d", u"e f", u""}));
  EXPECT_EQ(platform::SplitShellWords(u"零件 \"x\\\"y\""), (V{u"零件", u"x\"y"}));
}

TEST(ShellTest, StartsAProgramFromThePathWithItsWords) {
  testing_support::TempDir dir;
  std::filesystem::path out = dir / "args.txt";
  std::filesystem::path script = dir / "Client.exe";
  testing_support::WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > \"" +
                                         out.string() + ".part\"\nmv \"" + out.string() +
                                         ".part\" \"" + out.string() + "\"\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  std::string path = dir.path().string() + ":" + getenv("PATH");
  testing_support::ScopedEnv env("PATH", path.c_str());

  HINSTANCE result = ShellExecuteW(nullptr, u"open", u"Client.exe", u"5 \"two words\"", nullptr,
                                   SW_SHOWNORMAL);
  EXPECT_GT(reinterpret_cast<intptr_t>(result), 32);
  for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(testing_support::ReadFile(out), "[5]\n[two words]\n");

  result = ShellExecuteW(nullptr, u"open", u"NoSuchProgram.exe", u"", nullptr, SW_SHOWNORMAL);
  EXPECT_EQ(reinterpret_cast<intptr_t>(result), 2);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
