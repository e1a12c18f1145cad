// Texts: UTF conversion, BSTRs, GUID text and the printf-style formatting.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/bstr.h"
#include "platform/format.h"
#include "platform/guid.h"

namespace {

using platform::FormatWide;
using platform::kUnlimited;
using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

TEST(TextTest, UtfRoundTripsBstrsOwnTheirTextGuidsUseTheBracedForm) {
  std::u16string text = u"零件-名称 😀 end";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"零"), "\xE9\x9B\xB6");
  EXPECT_EQ(Utf16ToUtf8(u"😀"), "\xF0\x9F\x98\x80");
  // Truncated (not read past the end), overlong, stray continuation, surrogate, too large.
  EXPECT_EQ(Utf8ToUtf16(std::string_view("a\xE9\x9B", 3)), u"a\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\x80x"), u"\uFFFDx");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  // Lone surrogates in UTF-16; embedded zeros survive.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), u'a'}), std::string("\xEF\xBF\xBD") + "a");
  EXPECT_EQ(Utf8ToUtf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(platform::AsciiLower(u"FeatName Ä"), u"featname Ä");
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase(u"FEATNAME", u"featName"));
  EXPECT_FALSE(platform::EqualsIgnoringAsciiCase(u"Ä", u"ä"));
  EXPECT_FALSE(platform::EqualsIgnoringAsciiCase(u"abc", u"abcd"));
  EXPECT_EQ(platform::WideLength(nullptr), 0u);
  EXPECT_EQ(platform::WideLength(u"abc"), 3u);
  BSTR s = SysAllocString(u"零件 A");
  ASSERT_NE(s, nullptr);
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
  EXPECT_EQ(prefix, 8u);
  EXPECT_EQ(SysStringByteLen(s), 8u);
  EXPECT_EQ(s[4], 0);
  EXPECT_EQ(SysReAllocString(&s, u"longer text"), TRUE);
  EXPECT_EQ(BstrView(s), u"longer text");
  ScopedBstr a;
  a.Reset(s);
  a.Reset(SysAllocStringLen(u"a\0b", 3));
  EXPECT_EQ(a.View(), std::u16string_view(u"a\0b", 3));
  ScopedBstr b(std::move(a));
  EXPECT_EQ(a.Get(), nullptr);
  *b.Receive() = SysAllocStringLen(nullptr, 2);  // the old string is freed first
  EXPECT_EQ(b.View(), std::u16string_view(u"\0\0", 2));
  SysFreeString(b.Release());
  EXPECT_EQ(b.Get(), nullptr);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(BstrView(nullptr), u"");
  constexpr GUID kClass = platform::GuidLiteral("{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");
  OLECHAR buffer[39];
  EXPECT_EQ(StringFromGUID2(kClass, buffer, 39), 39);
  EXPECT_EQ(std::u16string(buffer), u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");
  EXPECT_EQ(StringFromGUID2(kClass, buffer, 38), 0);
  IID iid{};
  ASSERT_EQ(CLSIDFromString(u"{1c227c16-c127-4f54-b26c-ef8f2ba2448d}", &iid), S_OK);
  EXPECT_EQ(platform::GuidToString(iid), u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");
  for (const char16_t* bad :
       {u"", u"1C227C16-C127-4F54-B26C-EF8F2BA2448D", u"{1C227C16-C127-4F54-B26C-EF8F2BA2448}",
        u"{1C227C16-C127-4F54-B26C-EF8F2BA2448DX}", u"{1C227C16-C127+4F54-B26C-EF8F2BA2448D}",
        u"{1C227C16-C127-4F54-B26C-EF8F2BA2448G}"}) {
    EXPECT_EQ(IIDFromString(bad, &iid), E_INVALIDARG) << Utf16ToUtf8(bad);
  }
  EXPECT_TRUE(IsEqualGUID(iid, kClass));  // untouched on failure
}

template <typename... A>
std::u16string F(std::u16string_view format, const A&... args) {
  return FormatWide(kUnlimited, format, args...);
}

TEST(FormatTest, FormatsAsTheCLibraryDoesOddFormatsNeverFailAndTheLimitCuts) {
  EXPECT_EQ(F(u"%s%3d|%d|%i|%u|%#010x|%0lX|%lu|%-4d|%+d % d|%*d", u"ToolbarCallback", 7, -5, 42, 7u,
              0xABCDu, 255, 0xC0000094u, 3, 3, 3, 5, 42),
            u"ToolbarCallback  7|-5|42|7|0x0000abcd|FF|3221225620|3   |+3  3|   42");
  // Without a 64-bit length modifier a value is taken at 32 bits.
  EXPECT_EQ(F(u"%x|%lld|%I64u", -1, int64_t{-9000000000}, uint64_t{18000000000}),
            u"ffffffff|-9000000000|18000000000");
  EXPECT_EQ(F(u"%g|%g|%g|%.3f %e", 123.4567, 0.0254, 10.0, 2.5, 1e10),
            u"123.457|0.0254|10|2.500 1.000000e+10");
  // An argument's text is not a format.
  EXPECT_EQ(F(u"'%s'[%5s][%-5s][%.2s]%s|%s|100%% %c", u"零件's", u"ab", u"ab", u"abcdef",
              static_cast<const char16_t*>(nullptr), std::u16string(u"x%sy"), u'零'),
            u"'零件's'[   ab][ab   ][ab](null)|x%sy|100% 零");
  EXPECT_EQ(F(u"%D and %y"), u"D and y");  // not a conversion: the letter itself
  EXPECT_EQ(F(u"end %"), u"end ");
  EXPECT_EQ(F(u"%d %s"), u"0 ");       // missing arguments
  EXPECT_EQ(F(u"%d", u"text"), u"0");  // wrong kind of argument
  EXPECT_EQ(F(u"%s", 12), u"");
  // A real taken as an integer (a width, %d) is clamped, never undefined.
  EXPECT_EQ(F(u"%d", 1e308), u"-1");  // INT64_MAX taken at 32 bits
  EXPECT_EQ(F(u"%lld", -1e308), u"-9223372036854775808");
  EXPECT_EQ(F(u"%*d|", 1e308, 1).size(), 100001u);
  EXPECT_EQ(FormatWide(5, u"%s", u"abcdefgh"), u"abcde");
  EXPECT_EQ(FormatWide(3, u"%d", 123456), u"123");
  EXPECT_EQ(FormatWide(0, u"abc"), u"");
  EXPECT_EQ(FormatWide(4096, u"%s!", std::u16string(10000, u'x')).size(), 4096u);
  EXPECT_EQ(FormatWide(kUnlimited, u"%5000d", 1).size(), 5000u);
}

}  // namespace
