#include "platform/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using platform::FormatWide;
using platform::kUnlimited;

std::u16string F(std::u16string_view format) { return FormatWide(kUnlimited, format); }
template <typename... A>
std::u16string F(std::u16string_view format, const A&... args) {
  return FormatWide(kUnlimited, format, args...);
}

TEST(FormatTest, IntegersWithWidthFlagsAndLength) {
  EXPECT_EQ(F(u"%s%3d", u"ToolbarCallback", 7), u"ToolbarCallback  7");
  EXPECT_EQ(F(u"%s%3d", u"ToolbarCallback", 150), u"ToolbarCallback150");
  EXPECT_EQ(F(u"%d|%i|%u", -5, 42, 7u), u"-5|42|7");
  EXPECT_EQ(F(u"%#010x", 0xABCDu), u"0x0000abcd");
  EXPECT_EQ(F(u"%0lX", 255), u"FF");
  EXPECT_EQ(F(u"%lu", 0xC0000094u), u"3221225620");
  EXPECT_EQ(F(u"%-4d|", 3), u"3   |");
  EXPECT_EQ(F(u"%+d % d", 3, 3), u"+3  3");
  EXPECT_EQ(F(u"%*d", 5, 42), u"   42");
  // Without a 64-bit length modifier a value is taken at 32 bits, as C's int.
  EXPECT_EQ(F(u"%x", -1), u"ffffffff");
  EXPECT_EQ(F(u"%lld", int64_t{-9000000000}), u"-9000000000");
  EXPECT_EQ(F(u"%I64u", uint64_t{18000000000}), u"18000000000");
}

TEST(FormatTest, RealsAsTheCLibraryFormatsThem) {
  EXPECT_EQ(F(u"%g", 123.4567), u"123.457");
  EXPECT_EQ(F(u"%g", 0.0254), u"0.0254");
  EXPECT_EQ(F(u"%g", 10.0), u"10");
  EXPECT_EQ(F(u"%.3f", 2.5), u"2.500");
  EXPECT_EQ(F(u"%e", 1e10), u"1.000000e+10");
}

TEST(FormatTest, TextsCharactersAndPercent) {
  EXPECT_EQ(F(u"'%s'", u"零件's"), u"'零件's'");
  EXPECT_EQ(F(u"[%5s][%-5s][%.2s]", u"ab", u"ab", u"abcdef"), u"[   ab][ab   ][ab]");
  EXPECT_EQ(F(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
  EXPECT_EQ(F(u"%s", std::u16string(u"x%sy")), u"x%sy");  // argument text is not a format
  EXPECT_EQ(F(u"100%%"), u"100%");
  EXPECT_EQ(F(u"%c", u'零'), u"零");
}

TEST(FormatTest, OddFormatsNeverFail) {
  EXPECT_EQ(F(u"%D and %y"), u"D and y");  // not a conversion: the letter itself
  EXPECT_EQ(F(u"end %"), u"end ");
  EXPECT_EQ(F(u"%d %s"), u"0 ");  // missing arguments
  EXPECT_EQ(F(u"%d", u"text"), u"0");  // wrong kind of argument
  EXPECT_EQ(F(u"%s", 12), u"");
  // A real taken as an integer (a width, %d) is clamped, never undefined.
  EXPECT_EQ(F(u"%d", 1e308), u"-1");  // INT64_MAX taken at 32 bits
  EXPECT_EQ(F(u"%lld", -1e308), u"-9223372036854775808");
  EXPECT_EQ(F(u"%*d|", 1e308, 1).size(), 100001u);
}

TEST(FormatTest, LimitCutsTheOutput) {
  EXPECT_EQ(FormatWide(5, u"%s", u"abcdefgh"), u"abcde");
  EXPECT_EQ(FormatWide(3, u"%d", 123456), u"123");
  EXPECT_EQ(FormatWide(0, u"abc"), u"");
  std::u16string big(10000, u'x');
  EXPECT_EQ(FormatWide(4096, u"%s!", big).size(), 4096u);
  EXPECT_EQ(FormatWide(kUnlimited, u"%5000d", 1).size(), 5000u);
}

}  // namespace

namespace {

TEST(FormatTest, NumbersIgnoreTheProcessLocale) {
  // A host process may run in a locale with a decimal comma.
  const char* old = setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (!setlocale(LC_NUMERIC, "de_DE.UTF-8") && !setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
    GTEST_SKIP() << "no decimal-comma locale installed";
  }
  EXPECT_EQ(FormatWide(kUnlimited, u"%g", 0.0254), u"0.0254");
  setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
