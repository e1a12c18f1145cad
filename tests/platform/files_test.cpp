#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/last_error.h"
#include "platform/system_messages.h"
#include "platform/text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(FilesTest, TemporaryFilesAreNewEmptyAndDistinct) {
  testing_support::TempDir dir;
  testing_support::ScopedEnv tmp("TMPDIR", dir.path().c_str());
  char16_t tempDir[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, tempDir);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(platform::WideToAnsi(tempDir), dir.path().string() + "/");

  char16_t first[MAX_PATH], second[MAX_PATH];
  ASSERT_NE(GetTempFileNameW(tempDir, u"swt", 0, first), 0u);
  ASSERT_NE(GetTempFileNameW(tempDir, u"swt", 0, second), 0u);
  std::filesystem::path a = platform::WideToAnsi(first), b = platform::WideToAnsi(second);
  EXPECT_NE(a, b);
  EXPECT_EQ(a.parent_path(), dir.path());
  EXPECT_TRUE(a.filename().string().starts_with("swt"));
  EXPECT_EQ(a.extension(), ".tmp");
  EXPECT_TRUE(std::filesystem::is_regular_file(a));
  EXPECT_EQ(std::filesystem::file_size(a), 0u);

  EXPECT_EQ(PathFileExistsW(first), TRUE);
  EXPECT_EQ(DeleteFileW(first), TRUE);
  EXPECT_EQ(PathFileExistsW(first), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(DeleteFileW(first), FALSE);

  EXPECT_EQ(GetTempFileNameW(u"/no/such/dir", u"swt", 0, first), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FilesTest, SystemMessagesInTheUsersLanguage) {
  char16_t text[256];
  ASSERT_GT(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND,
                           0x0409, text, 256, nullptr),
            0u);
  EXPECT_EQ(std::u16string(text), u"The system cannot find the file specified.\r\n");
  ASSERT_GT(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(E_FAIL),
                           0x0804, text, 256, nullptr),
            0u);
  EXPECT_EQ(std::u16string(text), u"未指定的错误\r\n");
  EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x80040201, 0, text, 256, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
  EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 2, 0x0409, text, 5, nullptr), 0u);
}

}  // namespace
