// The process's environment and standard streams.
#include "platform/console.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/last_error.h"

namespace {

TEST(ConsoleTest, SetsAndRemovesEnvironmentVariables) {
  ASSERT_TRUE(SetEnvironmentVariableW(u"HARBOLT_CONSOLE_TEST", u"drive c: \u4e2d"));
  ASSERT_NE(nullptr, std::getenv("HARBOLT_CONSOLE_TEST"));
  EXPECT_STREQ("drive c: \xe4\xb8\xad", std::getenv("HARBOLT_CONSOLE_TEST"));

  ASSERT_TRUE(SetEnvironmentVariableW(u"HARBOLT_CONSOLE_TEST", nullptr));
  EXPECT_EQ(nullptr, std::getenv("HARBOLT_CONSOLE_TEST"));
  // Removing what is not there is no failure.
  EXPECT_TRUE(SetEnvironmentVariableW(u"HARBOLT_CONSOLE_TEST", nullptr));

  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SetEnvironmentVariableW(u"", u"x"));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(SetEnvironmentVariableW(u"A=B", u"x"));
  EXPECT_FALSE(SetEnvironmentVariableW(nullptr, u"x"));
}

TEST(ConsoleTest, AFileIsNoTerminal) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  std::FILE* file = std::tmpfile();
  ASSERT_NE(nullptr, file);
  dup2(fileno(file), STDOUT_FILENO);
  const bool terminal = platform::IsTerminal(platform::StandardStream::kOutput);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  std::fclose(file);
  EXPECT_FALSE(terminal);
}

}  // namespace
