#include "platform/guid.h"

#include <gtest/gtest.h>

namespace {

constexpr GUID kHarboltClass = platform::GuidLiteral("{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");

TEST(GuidTest, ParsesAndFormatsTheBracedForm) {
  EXPECT_EQ(kHarboltClass.Data1, 0x1C227C16u);
  EXPECT_EQ(kHarboltClass.Data2, 0xC127);
  EXPECT_EQ(kHarboltClass.Data3, 0x4F54);
  EXPECT_EQ(kHarboltClass.Data4[0], 0xB2);
  EXPECT_EQ(kHarboltClass.Data4[7], 0x8D);
  EXPECT_EQ(platform::GuidToString(kHarboltClass), u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");

  CLSID lower{};
  ASSERT_EQ(CLSIDFromString(u"{1c227c16-c127-4f54-b26c-ef8f2ba2448d}", &lower), S_OK);
  EXPECT_TRUE(IsEqualGUID(lower, kHarboltClass));

  OLECHAR buffer[39];
  EXPECT_EQ(StringFromGUID2(kHarboltClass, buffer, 39), 39);
  EXPECT_EQ(std::u16string(buffer), u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");
  EXPECT_EQ(StringFromGUID2(kHarboltClass, buffer, 38), 0);
}

TEST(GuidTest, RejectsMalformedText) {
  IID iid = kHarboltClass;
  for (const char16_t* bad : {u"", u"1C227C16-C127-4F54-B26C-EF8F2BA2448D",
                              u"{1C227C16-C127-4F54-B26C-EF8F2BA2448}",
                              u"{1C227C16-C127-4F54-B26C-EF8F2BA2448DX}",
                              u"{1C227C16-C127+4F54-B26C-EF8F2BA2448D}",
                              u"{1C227C16-C127-4F54-B26C-EF8F2BA2448G}"}) {
    EXPECT_EQ(IIDFromString(bad, &iid), E_INVALIDARG) << std::string(bad, bad + 0);
  }
  EXPECT_TRUE(IsEqualGUID(iid, kHarboltClass));  // untouched on failure
  EXPECT_FALSE(IsEqualGUID(GUID_NULL, kHarboltClass));
}

}  // namespace
