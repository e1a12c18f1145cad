#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

TEST(TextTest, RoundTripsChineseAndAstralCharacters) {
  std::u16string text = u"零件-名称 😀 end";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"零"), "\xE9\x9B\xB6");
  EXPECT_EQ(Utf16ToUtf8(u"😀"), "\xF0\x9F\x98\x80");
}

TEST(TextTest, InvalidInputBecomesReplacementCharacters) {
  // Truncated sequence at the end: must not read past the input.
  EXPECT_EQ(Utf8ToUtf16(std::string_view("a\xE9\x9B", 3)), u"a\uFFFD\uFFFD");
  // Overlong encoding, stray continuation byte, surrogate code point, too large.
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\x80x"), u"\uFFFDx");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  // Lone surrogates in UTF-16.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), u'a'}), "\xEF\xBF\xBD" "a");
  // Embedded zeros survive.
  EXPECT_EQ(Utf8ToUtf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(TextTest, AsciiCaseFoldingLeavesOtherLettersAlone) {
  EXPECT_EQ(platform::AsciiLower(u"FeatName Ä"), u"featname Ä");
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase(u"FEATNAME", u"featName"));
  EXPECT_FALSE(platform::EqualsIgnoringAsciiCase(u"Ä", u"ä"));
  EXPECT_FALSE(platform::EqualsIgnoringAsciiCase(u"abc", u"abcd"));
  EXPECT_EQ(platform::WideLength(nullptr), 0u);
  EXPECT_EQ(platform::WideLength(u"abc"), 3u);
}

}  // namespace
