// The login command of the default group starts the caller's client
// program, "Pelmora.exe", found on the PATH. A small script of that name
// stands in for it and writes down what it was given.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

using testing_support::Call;
using testing_support::ReadFile;

class LoginCommandTest : public AddinTest {
 protected:
  LoginCommandTest()
      : bin_(MakeBin(dir_)),
        path_("PATH", (bin_.string() + ":" + (getenv("PATH") ? getenv("PATH") : "")).c_str()) {}

  // A folder with the stand-in program: it writes its argument count and
  // arguments, one a line, and renames the file when done so that a reader
  // never sees half of it.
  static std::filesystem::path MakeBin(const testing_support::TempDir& dir) {
    std::filesystem::path bin = dir / "bin";
    std::filesystem::create_directory(bin);
    std::filesystem::path program = bin / "Pelmora.exe";
    testing_support::WriteFile(program,
                               "#!/bin/sh\n"
                               "out=\"$(dirname \"$0\")\"\n"
                               "printf '%s\\n' \"$#\" \"$@\" > \"$out/args.tmp\"\n"
                               "mv \"$out/args.tmp\" \"$out/args.txt\"\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    return bin;
  }

  // What the program received; empty when it did not run within a while.
  std::string Received() {
    std::filesystem::path file = bin_ / "args.txt";
    for (int i = 0; i < 500 && !std::filesystem::exists(file); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::string text = ReadFile(file);
    std::filesystem::remove(file);
    return text;
  }

  std::filesystem::path bin_;
  testing_support::ScopedEnv path_;
};

TEST_F(LoginCommandTest, StartsTheClientWithTheWindowHandle) {
  host_.SetWindowHandle(1312);
  Connect();
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  EXPECT_EQ("2\n5\n1312\n", Received());

  // Only the low 32 bits of the handle count, read as unsigned.
  host_.SetWindowHandle(0x0000'0007'8000'0520LL);
  EXPECT_EQ(S_OK, host_.Click(kCookie, 50, 0));
  EXPECT_EQ("2\n5\n2147484960\n", Received());

  // The caller may call it by name too.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback0"));
  EXPECT_EQ("2\n5\n2147484960\n", Received());
}

TEST_F(LoginCommandTest, WithoutAFrameTheHandleIsZero) {
  Connect();
  host_.FailCall("ISldWorks.Frame");
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  EXPECT_EQ("2\n5\n0\n", Received());
  // Nothing of the host is kept.
  host_.ClearFaults();
  long references = host_.References();
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  Received();
  EXPECT_EQ(references, host_.References());
}

TEST_F(LoginCommandTest, AMissingProgramIsNotReported) {
  std::filesystem::remove(bin_ / "Pelmora.exe");
  testing_support::ScopedEnv onlyBin("PATH", bin_.c_str());
  Connect();
  EXPECT_EQ(S_OK, host_.ClickNamed(kCookie, u"login"));
  EXPECT_EQ(0, testing_support::LongProperty(harbolt(), u"errNumber"));
  EXPECT_FALSE(std::filesystem::exists(bin_ / "args.txt"));
}

}  // namespace
}  // namespace addin_test
