#include "platform/bstr.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(BstrTest, KeepsLengthPrefixAndTerminator) {
  BSTR s = SysAllocString(u"零件 A");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 4u);
  EXPECT_EQ(SysStringByteLen(s), 8u);
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
  EXPECT_EQ(prefix, 8u);
  EXPECT_EQ(s[4], 0);
  SysFreeString(s);
}

TEST(BstrTest, EmbeddedZerosCountAndNullsAreEmpty) {
  const char16_t text[] = {u'a', 0, u'b'};
  ScopedBstr s;
  s.Reset(SysAllocStringLen(text, 3));
  EXPECT_EQ(s.Length(), 3u);
  EXPECT_EQ(s.View(), std::u16string_view(text, 3));

  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(BstrView(nullptr), u"");

  ScopedBstr zeros;
  zeros.Reset(SysAllocStringLen(nullptr, 2));
  EXPECT_EQ(zeros.View(), std::u16string_view(u"\0\0", 2));
}

TEST(BstrTest, ScopedBstrOwnershipMoves) {
  ScopedBstr a(u"first");
  ScopedBstr b(std::move(a));
  EXPECT_EQ(a.Get(), nullptr);
  EXPECT_EQ(b.Str(), u"first");
  *b.Receive() = SysAllocString(u"second");  // the old string is freed first
  EXPECT_EQ(b.Str(), u"second");
  BSTR raw = b.Release();
  EXPECT_EQ(b.Get(), nullptr);
  SysFreeString(raw);

  BSTR re = SysAllocString(u"x");
  EXPECT_EQ(SysReAllocString(&re, u"longer text"), TRUE);
  EXPECT_EQ(BstrView(re), u"longer text");
  SysFreeString(re);
}

}  // namespace
