// Languages, locales, drive paths, environment, resources, pictures, shell words.
#include "platform/system_info.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/console.h"
#include "platform/last_error.h"
#include "platform/module.h"
#include "platform/native_path.h"
#include "platform/ole_picture.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ScopedEnv;

TEST(SystemInfoTest, LanguageAndThreadLocaleFollowTheLocaleVariables) {
  ScopedEnv messages("LC_MESSAGES", nullptr);
  std::vector<LANGID> found;
  for (const char* name :
       {"zh_CN.UTF-8", "zh_SG", "zh_TW.UTF-8", "zh_HK", "zh_MO", "de_DE.UTF-8", "C", ""}) {
    ScopedEnv lang("LANG", name), all("LC_ALL", nullptr);
    found.push_back(GetUserDefaultLangID());
  }
  const LANGID cn = LANG_CHINESE_SIMPLIFIED, tw = LANG_CHINESE_TRADITIONAL, en = LANG_ENGLISH_US;
  EXPECT_EQ((std::vector<LANGID>{cn, cn, tw, tw, tw, en, en, en}), found);
  ScopedEnv lang("LANG", "en_US.UTF-8");
  ScopedEnv all("LC_ALL", "zh_CN.UTF-8");  // LC_ALL wins
  EXPECT_EQ(GetUserDefaultLangID(), LANG_CHINESE_SIMPLIFIED);
  ScopedEnv traditional("LC_ALL", "zh_TW.UTF-8");
  EXPECT_EQ(static_cast<LCID>(LANG_CHINESE_TRADITIONAL), GetThreadLocale());
  EXPECT_EQ(TRUE, SetThreadLocale(0x0407));
  EXPECT_EQ(0x0407u, GetThreadLocale());
  LCID other = 0;
  std::thread([&] { other = GetThreadLocale(); }).join();
  EXPECT_EQ(static_cast<LCID>(LANG_CHINESE_TRADITIONAL), other);  // another thread's own
  // The default locales stand for the language they name.
  EXPECT_EQ(TRUE, SetThreadLocale(LOCALE_SYSTEM_DEFAULT));
  EXPECT_EQ(static_cast<LCID>(LANG_CHINESE_TRADITIONAL), GetThreadLocale());
  SetThreadLocale(LOCALE_USER_DEFAULT);
}

TEST(SystemInfoTest, DrivePathsEnvironmentVariablesAndStreams) {
  ScopedEnv drive("HARBOLT_DRIVE_C", "/srv/drive_c");
  EXPECT_EQ(platform::NativePath(u"c:\\1\\dov_cax_log.txt"), "/srv/drive_c/1/dov_cax_log.txt");
  EXPECT_EQ(platform::NativePath(u"C:/1/x.txt"), "/srv/drive_c/1/x.txt");
  ScopedEnv home("HOME", "/home/u");
  ScopedEnv d("HARBOLT_DRIVE_D", nullptr);
  EXPECT_EQ(platform::NativePath(u"d:\\data"), "/home/u/.harbolt/drive_d/data");
  EXPECT_EQ(platform::NativePath(u"/tmp/work\\Bolt.bmp"), "/tmp/work/Bolt.bmp");
  EXPECT_EQ(platform::NativePath(u"relative/零件.bmp"), "relative/零件.bmp");
  ASSERT_TRUE(SetEnvironmentVariableW(u"HARBOLT_CONSOLE_TEST", u"drive c: \u4e2d"));
  EXPECT_STREQ("drive c: \xe4\xb8\xad", std::getenv("HARBOLT_CONSOLE_TEST"));
  ASSERT_TRUE(SetEnvironmentVariableW(u"HARBOLT_CONSOLE_TEST", nullptr));
  EXPECT_EQ(nullptr, std::getenv("HARBOLT_CONSOLE_TEST"));
  EXPECT_TRUE(SetEnvironmentVariableW(u"HARBOLT_CONSOLE_TEST", nullptr));  // not there: no failure
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SetEnvironmentVariableW(u"", u"x"));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(SetEnvironmentVariableW(u"A=B", u"x"));
  EXPECT_FALSE(SetEnvironmentVariableW(nullptr, u"x"));
  // A file is no terminal.
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

// The built-in data that stands for a module's resources.
const char16_t* Strings(UINT id, LANGID language) {
  if (id != 7) return nullptr;
  if (language == LANG_ENGLISH_US) return u"seven";
  return language == LANG_CHINESE_SIMPLIFIED ? u"七" : nullptr;
}
bool Bitmaps(UINT id, platform::BitmapPixels* bitmap) {
  if (id != 111) return false;
  *bitmap = platform::BitmapPixels{2, 1, {0xFF0000, 0x0000FF}};
  return true;
}
std::u16string_view Texts(UINT id) { return id == 101 ? u"HKCR { }" : u""; }

TEST(SystemInfoTest, ResourcesComeFromTheBuiltInDataAndPicturesSaveAs24BitFiles) {
  EXPECT_EQ(u"seven", platform::LoadStringInLanguage(7, LANG_ENGLISH_US, &Strings));
  EXPECT_EQ(u"七", platform::LoadStringInLanguage(7, LANG_CHINESE_SIMPLIFIED, &Strings));
  EXPECT_EQ(u"", platform::LoadStringInLanguage(7, LANG_CHINESE_TRADITIONAL, &Strings));
  // The ordinary lookup finds the English (United States) text.
  EXPECT_EQ(u"seven", platform::LoadStringOrdinary(7, &Strings));
  EXPECT_EQ(u"", platform::LoadStringOrdinary(7, nullptr));
  EXPECT_EQ(u"HKCR { }", platform::LoadTextResource(101, u"REGISTRY", &Texts));
  EXPECT_EQ(u"", platform::LoadTextResource(102, u"REGISTRY", &Texts));
  EXPECT_TRUE(platform::LoadBitmapPicture(111, &Bitmaps));
  EXPECT_FALSE(platform::LoadBitmapPicture(112, &Bitmaps));
  EXPECT_FALSE(platform::LoadBitmapPicture(111, nullptr));
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

// The program's own path, cut to a short buffer with the cut reported; a
// module that does not load says why.
TEST(SystemInfoTest, ModulePathsAreCutToTheBufferAndMissingModulesNamed) {
  const std::u16string self =
      platform::Utf8ToUtf16(std::filesystem::read_symlink("/proc/self/exe").string());
  char16_t name[1024];
  EXPECT_EQ(std::u16string(name, GetModuleFileNameW(nullptr, name, 1024)), self);
  char16_t cut[5];
  EXPECT_EQ(GetModuleFileNameW(nullptr, cut, 5), 4u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::u16string(cut), self.substr(0, 4));
  EXPECT_EQ(LoadLibraryW(u"/no/such/module.so"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(SystemInfoTest, ProgramsStartFromThePathWithShellWords) {
  using V = std::vector<std::u16string>;
  EXPECT_EQ(platform::SplitShellWords(u"5  123456"), (V{u"5", u"123456"}));
  EXPECT_EQ(platform::SplitShellWords(u"  "), V{});
  EXPECT_EQ(platform::SplitShellWords(u"\"a b\" 'c \"d' e\\ f \"\""),
            (V{u"a b", u"c \"d", u"e f", u""}));
  EXPECT_EQ(platform::SplitShellWords(u"零件 \"x\\\"y\""), (V{u"零件", u"x\"y"}));
  HINSTANCE result =
      ShellExecuteW(nullptr, u"open", u"NoSuchProgram.exe", u"", nullptr, SW_SHOWNORMAL);
  EXPECT_EQ(reinterpret_cast<intptr_t>(result), 2);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
