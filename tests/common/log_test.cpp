#include "common/log.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/system_info.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;

// A line: date, time, milliseconds without leading zeros, the text.
const std::regex kLine(R"((\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2}):(0|[1-9]\d{0,2}): (.*))");

// Drive c: of the tests is a fresh directory; the log goes to its "1"
// folder when that exists.
class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = getenv("HARBOLT_DRIVE_C")) savedDrive_ = old;
    setenv("HARBOLT_DRIVE_C", drive_.path().c_str(), 1);
  }
  void TearDown() override {
    savedDrive_ ? setenv("HARBOLT_DRIVE_C", savedDrive_->c_str(), 1) : unsetenv("HARBOLT_DRIVE_C");
  }

  void MakeLogDirectory() { std::filesystem::create_directory(drive_ / "1"); }
  std::filesystem::path LogFile() const { return drive_ / "1" / "dov_cax_log.txt"; }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(LogFile()));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The text of a line, after its time stamp; "<bad line>" when the line
  // does not have the format.
  static std::string TextOf(const std::string& line) {
    std::smatch parts;
    return std::regex_match(line, parts, kLine) ? parts[8].str() : "<bad line>";
  }

  TempDir drive_;
  std::optional<std::string> savedDrive_;
};

using Stamp = std::tuple<int, int, int, int, int, int, int>;

Stamp StampOf(const SYSTEMTIME& t) {
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

TEST_F(LogTest, EachLineIsTheLocalTimeWithMillisecondsAndTheText) {
  MakeLogDirectory();
  SYSTEMTIME before{};
  GetLocalTime(&before);
  Dovbase::WriteLog(u"Import in");
  Dovbase::WriteLog(u"Import out");
  SYSTEMTIME after{};
  GetLocalTime(&after);

  std::string bytes = ReadFile(LogFile());
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.back(), '\n');
  EXPECT_EQ(bytes.find('\r'), std::string::npos);
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(TextOf(lines[0]), "Import in");
  EXPECT_EQ(TextOf(lines[1]), "Import out");
  for (const std::string& line : lines) {
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(line, parts, kLine)) << line;
    Stamp written{std::stoi(parts[1]), std::stoi(parts[2]), std::stoi(parts[3]),
                  std::stoi(parts[4]), std::stoi(parts[5]), std::stoi(parts[6]),
                  std::stoi(parts[7])};
    // One reading of the clock, between the two readings of the test.
    EXPECT_LE(StampOf(before), written) << line;
    EXPECT_LE(written, StampOf(after)) << line;
  }
}

TEST_F(LogTest, LinesOfOneSecondDifferOnlyInTheMilliseconds) {
  MakeLogDirectory();
  for (int i = 0; i < 20; ++i) Dovbase::WriteLog(u"tick");
  const std::regex milliseconds(R"(^(.{19}):(0|[1-9]\d{0,2}): )");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 20u);
  for (size_t i = 1; i < lines.size(); ++i) {
    ASSERT_TRUE(std::regex_match(lines[i], kLine)) << lines[i];
    if (lines[i].substr(0, 19) != lines[i - 1].substr(0, 19)) continue;
    EXPECT_EQ(std::regex_replace(lines[i], milliseconds, "$1"),
              std::regex_replace(lines[i - 1], milliseconds, "$1"));
  }
}

TEST_F(LogTest, LinesAreAppendedToWhatIsThere) {
  MakeLogDirectory();
  testing_support::WriteFile(LogFile(), "earlier line\n");
  Dovbase::WriteLog(u"next");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "earlier line");
  EXPECT_EQ(TextOf(lines[1]), "next");
}

TEST_F(LogTest, TextIsWrittenInTheMultibyteCodePage) {
  MakeLogDirectory();
  Dovbase::WriteLog(u"导出 Feature 表");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(TextOf(lines[0]), "\xE5\xAF\xBC\xE5\x87\xBA Feature \xE8\xA1\xA8");
}

TEST_F(LogTest, FormattedLinesAreCutAt4096Characters) {
  MakeLogDirectory();
  Dovbase::WriteLogFormat(u"Export %s: %d rows, %s", u"Feature", 12, u"100%");
  std::u16string huge(5000, u'x');
  Dovbase::WriteLogFormat(u"%s", huge);
  Dovbase::WriteLogFormat(u"[%s]", std::u16string(4095, u'y'));
  // A plain line is text, never a format.
  Dovbase::WriteLog(u"%d %s");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(TextOf(lines[0]), "Export Feature: 12 rows, 100%");
  EXPECT_EQ(TextOf(lines[1]), std::string(4096, 'x'));
  EXPECT_EQ(TextOf(lines[2]), "[" + std::string(4095, 'y'));
  EXPECT_EQ(TextOf(lines[3]), "%d %s");
}

TEST_F(LogTest, AMissingDirectoryDropsTheLineSilently) {
  EXPECT_FALSE(Dovbase::LogEnabled());
  Dovbase::WriteLog(u"lost");
  Dovbase::WriteLogFormat(u"lost %d", 2);
  EXPECT_FALSE(std::filesystem::exists(drive_ / "1"));
  EXPECT_TRUE(std::filesystem::is_empty(drive_.path()));

  // Nor does a file that cannot be written to stop anything.
  std::filesystem::create_directories(LogFile());
  Dovbase::WriteLog(u"lost too");
  EXPECT_TRUE(std::filesystem::is_directory(LogFile()));
}

TEST_F(LogTest, LogsAreKeptOnceTheFolderExists) {
  EXPECT_FALSE(Dovbase::LogEnabled());
  MakeLogDirectory();
  EXPECT_TRUE(Dovbase::LogEnabled());
  // Asking writes nothing.
  EXPECT_FALSE(std::filesystem::exists(LogFile()));
  std::filesystem::remove(drive_ / "1");
  EXPECT_FALSE(Dovbase::LogEnabled());
}

TEST_F(LogTest, TheProcessLocaleIsLeftAsItWas) {
  MakeLogDirectory();
  const std::string original = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const std::string host = std::setlocale(LC_ALL, nullptr);
  Dovbase::WriteLog(u"登录");
  Dovbase::WriteLogFormat(u"%s %g", u"登录", 1.5);
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), host);
  std::setlocale(LC_ALL, original.c_str());

  Dovbase::WriteLog(u"again");
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), original);
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(TextOf(lines[1]), "\xE7\x99\xBB\xE5\xBD\x95 1.5");
}

}  // namespace
