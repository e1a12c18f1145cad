// The module's resources where the system gives a module none: the built-in
// data the caller hands over stands for them.
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/bstr.h"
#include "platform/system_info.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace {

const char16_t* Strings(UINT id, LANGID language) {
  if (id != 7) return nullptr;
  if (language == LANG_ENGLISH_US) return u"seven";
  if (language == LANG_CHINESE_SIMPLIFIED) return u"七";
  return nullptr;
}

bool Bitmaps(UINT id, platform::BitmapPixels* bitmap) {
  if (id != 111) return false;
  *bitmap = platform::BitmapPixels{2, 1, {0xFF0000, 0x0000FF}};
  return true;
}

std::u16string_view Texts(UINT id) { return id == 101 ? u"HKCR { }" : u""; }

TEST(ResourcesTest, StringsComeFromTheBuiltInTable) {
  EXPECT_EQ(u"seven", platform::LoadStringInLanguage(7, LANG_ENGLISH_US, &Strings));
  EXPECT_EQ(u"七", platform::LoadStringInLanguage(7, LANG_CHINESE_SIMPLIFIED, &Strings));
  EXPECT_EQ(u"", platform::LoadStringInLanguage(7, LANG_CHINESE_TRADITIONAL, &Strings));
  EXPECT_EQ(u"", platform::LoadStringInLanguage(8, LANG_ENGLISH_US, &Strings));
  // The ordinary lookup finds the English (United States) text.
  EXPECT_EQ(u"seven", platform::LoadStringOrdinary(7, &Strings));
  EXPECT_EQ(u"", platform::LoadStringOrdinary(8, &Strings));
  EXPECT_EQ(u"", platform::LoadStringOrdinary(7, nullptr));
}

TEST(ResourcesTest, BitmapsBecomePicturesOfTheBuiltInPixels) {
  ComPtr<IPictureDisp> picture = platform::LoadBitmapPicture(111, &Bitmaps);
  ASSERT_TRUE(picture);
  testing_support::TempDir dir;
  ScopedBstr path(platform::Utf8ToUtf16((dir / "111.bmp").string()));
  ASSERT_EQ(S_OK, OleSavePictureFile(picture.Get(), path.Get()));
  std::string bytes = testing_support::ReadFile((dir / "111.bmp").string());
  ASSERT_EQ(54u + 8, bytes.size());  // one row of 6 bytes padded to 8
  EXPECT_EQ(2, bytes[18]);
  EXPECT_EQ(std::string("\x00\x00\xFF\xFF\x00\x00", 6), bytes.substr(54, 6));
  EXPECT_FALSE(platform::LoadBitmapPicture(112, &Bitmaps));
  EXPECT_FALSE(platform::LoadBitmapPicture(111, nullptr));
}

TEST(ResourcesTest, TextResourcesComeFromTheBuiltInTexts) {
  EXPECT_EQ(u"HKCR { }", platform::LoadTextResource(101, u"REGISTRY", &Texts));
  EXPECT_EQ(u"", platform::LoadTextResource(102, u"REGISTRY", &Texts));
}

}  // namespace
