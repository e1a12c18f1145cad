#include "common/log.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/system_info.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::ReadFile;

// Drive c: is a fresh directory; the log goes to its "1" folder when that exists.
class LogTest : public ::testing::Test {
 protected:
  std::filesystem::path LogFile() const { return drive_ / "1" / "dov_cax_log.txt"; }

  testing_support::TempDir drive_;
  testing_support::ScopedEnv driveC_{"HARBOLT_DRIVE_C", drive_.path().c_str()};
};

TEST_F(LogTest, LinesAreAppendedWithTheLocalTimeInTheCodePageLeavingTheLocaleAlone) {
  std::filesystem::create_directory(drive_ / "1");
  testing_support::WriteFile(LogFile(), "earlier line\n");
  const std::string original = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const std::string host = std::setlocale(LC_ALL, nullptr);
  SYSTEMTIME before{}, after{};
  GetLocalTime(&before);
  Dovbase::WriteLog(u"导出 Feature 表");
  Dovbase::WriteLogFormat(u"Export %s: %d rows, %s %g", u"登录", 12, u"100%", 1.5);
  // Formatted lines are cut at 4096 characters.
  Dovbase::WriteLogFormat(u"%s", std::u16string(5000, u'x'));
  Dovbase::WriteLogFormat(u"[%s]", std::u16string(4095, u'y'));
  Dovbase::WriteLog(u"%d %s");  // A plain line is text, never a format.
  GetLocalTime(&after);
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), host);
  std::setlocale(LC_ALL, original.c_str());

  const std::string bytes = ReadFile(LogFile());
  EXPECT_TRUE(bytes.ends_with('\n') && bytes.find('\r') == std::string::npos);
  // Each line: date, time, milliseconds without leading zeros, the text; the
  // stamp lies between the clock readings around the writing.
  const std::regex line(
      R"((\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2}):(0|[1-9]\d{0,2}): (.*))");
  using Stamp = std::tuple<int, int, int, int, int, int, int>;
  auto stampOf = [](const SYSTEMTIME& t) {
    return Stamp{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
  };
  std::vector<std::string> texts;
  std::istringstream in(bytes);
  for (std::string text; std::getline(in, text);) {
    std::smatch p;
    if (std::regex_match(text, p, line)) {
      Stamp written{std::stoi(p[1]), std::stoi(p[2]), std::stoi(p[3]), std::stoi(p[4]),
                    std::stoi(p[5]), std::stoi(p[6]), std::stoi(p[7])};
      EXPECT_LE(stampOf(before), written) << text;
      EXPECT_LE(written, stampOf(after)) << text;
      text = p[8].str();
    }
    texts.push_back(text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "earlier line", "\xE5\xAF\xBC\xE5\x87\xBA Feature \xE8\xA1\xA8",
                       "Export \xE7\x99\xBB\xE5\xBD\x95: 12 rows, 100% 1.5", std::string(4096, 'x'),
                       "[" + std::string(4095, 'y'), "%d %s"}));
}

TEST_F(LogTest, WithoutTheFolderLinesAreDroppedSilently) {
  EXPECT_FALSE(Dovbase::LogEnabled());
  Dovbase::WriteLog(u"lost");
  Dovbase::WriteLogFormat(u"lost %d", 2);
  EXPECT_TRUE(std::filesystem::is_empty(drive_.path()));
  std::filesystem::create_directory(drive_ / "1");
  EXPECT_TRUE(Dovbase::LogEnabled());
  EXPECT_FALSE(std::filesystem::exists(LogFile()));  // Asking writes nothing.
  // Nor does a file that cannot be written to stop anything.
  std::filesystem::create_directories(LogFile());
  Dovbase::WriteLog(u"lost too");
  EXPECT_TRUE(std::filesystem::is_directory(LogFile()));
  std::filesystem::remove_all(drive_ / "1");
  EXPECT_FALSE(Dovbase::LogEnabled());
}

}  // namespace
