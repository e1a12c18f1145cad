#include "platform/system_info.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <thread>

#include "platform/native_path.h"
#include "platform/ole_picture.h"
#include "platform/text.h"
#include "platform/unknown.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::ScopedEnv;

TEST(SystemInfoTest, UserLanguageFollowsTheLocaleVariables) {
  ScopedEnv messages("LC_MESSAGES", nullptr);
  struct Case {
    const char* lang;
    LANGID expected;
  } cases[] = {{"zh_CN.UTF-8", LANG_CHINESE_SIMPLIFIED}, {"zh_SG", LANG_CHINESE_SIMPLIFIED},
               {"zh_TW.UTF-8", LANG_CHINESE_TRADITIONAL}, {"zh_HK", LANG_CHINESE_TRADITIONAL},
               {"zh_MO", LANG_CHINESE_TRADITIONAL}, {"de_DE.UTF-8", LANG_ENGLISH_US},
               {"C", LANG_ENGLISH_US}, {"", LANG_ENGLISH_US}};
  for (const Case& c : cases) {
    ScopedEnv lang("LANG", c.lang);
    ScopedEnv all("LC_ALL", nullptr);
    EXPECT_EQ(GetUserDefaultLangID(), c.expected) << c.lang;
  }
  ScopedEnv lang("LANG", "en_US.UTF-8");
  ScopedEnv all("LC_ALL", "zh_CN.UTF-8");  // LC_ALL wins
  EXPECT_EQ(GetUserDefaultLangID(), LANG_CHINESE_SIMPLIFIED);
}

TEST(SystemInfoTest, ThreadLocaleIsKeptPerThread) {
  ScopedEnv all("LC_ALL", "zh_TW.UTF-8");
  EXPECT_EQ(static_cast<LCID>(LANG_CHINESE_TRADITIONAL), GetThreadLocale());
  EXPECT_EQ(TRUE, SetThreadLocale(0x0407));
  EXPECT_EQ(0x0407u, GetThreadLocale());
  LCID other = 0;
  std::thread([&] { other = GetThreadLocale(); }).join();
  EXPECT_EQ(static_cast<LCID>(LANG_CHINESE_TRADITIONAL), other);  // another thread's own
  // The default locales stand for the language they name.
  EXPECT_EQ(TRUE, SetThreadLocale(LOCALE_SYSTEM_DEFAULT));
  EXPECT_EQ(static_cast<LCID>(LANG_CHINESE_TRADITIONAL), GetThreadLocale());
  SetThreadLocale(0x0409);
  EXPECT_EQ(0x0409u, GetThreadLocale());
  SetThreadLocale(LOCALE_USER_DEFAULT);
}

TEST(SystemInfoTest, LocalTimeHasMilliseconds) {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  EXPECT_GE(t.wYear, 2024);
  EXPECT_LE(t.wMonth, 12);
  EXPECT_LE(t.wMilliseconds, 999);
}

TEST(NativePathTest, DrivePathsMapBelowTheDriveDirectory) {
  ScopedEnv drive("HARBOLT_DRIVE_C", "/srv/drive_c");
  EXPECT_EQ(platform::NativePath(u"c:\\1\\dov_cax_log.txt"), "/srv/drive_c/1/dov_cax_log.txt");
  EXPECT_EQ(platform::NativePath(u"C:/1/x.txt"), "/srv/drive_c/1/x.txt");
  ScopedEnv home("HOME", "/home/u");
  ScopedEnv d("HARBOLT_DRIVE_D", nullptr);
  EXPECT_EQ(platform::NativePath(u"d:\\data"), "/home/u/.harbolt/drive_d/data");
  EXPECT_EQ(platform::NativePath(u"/tmp/work\\Bolt.bmp"), "/tmp/work/Bolt.bmp");
  EXPECT_EQ(platform::NativePath(u"relative/零件.bmp"), "relative/零件.bmp");
}

TEST(OlePictureTest, SavesA24BitBitmapFile) {
  testing_support::TempDir dir;
  std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x123456};
  ComPtr<IPictureDisp> picture = platform::CreateBitmapPicture(3, 2, pixels);
  ASSERT_TRUE(picture);
  std::string path = (dir / "零件.bmp").string();
  ScopedBstr name(platform::AnsiToWide(path));
  ASSERT_EQ(OleSavePictureFile(picture.Get(), name.Get()), S_OK);
  std::string bytes = testing_support::ReadFile(path);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);  // rows of 9 bytes padded to 12
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24);  // bits per pixel
  // Bottom-up: the first stored row is the picture's last; pixels are B, G, R.
  EXPECT_EQ(bytes.substr(54, 3), std::string("\xFF\xFF\xFF", 3));
  EXPECT_EQ(bytes.substr(54 + 12, 3), std::string("\x00\x00\xFF", 3));

  EXPECT_FALSE(platform::CreateBitmapPicture(3, 3, pixels));
  EXPECT_FALSE(platform::CreateBitmapPicture(0, 0, {}));
  EXPECT_EQ(OleSavePictureFile(nullptr, name.Get()), E_POINTER);
  ScopedBstr missing(platform::AnsiToWide((dir / "no/such/dir.bmp").string()));
  EXPECT_EQ(OleSavePictureFile(picture.Get(), missing.Get()), E_FAIL);
}

}  // namespace
