#include "common/kvx_exception.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using Dovbase::Kvx_Exception;

TEST(KvxExceptionTest, CarriesTheRaiseSiteAndStartsWithoutAReportSite) {
  Kvx_Exception error(u"table missing", u"SldToDb", u"CSldToDb::CreateTable", 2053);
  EXPECT_EQ(error.message(), u"table missing");
  EXPECT_EQ(error.file(), u"SldToDb");
  EXPECT_EQ(error.function(), u"CSldToDb::CreateTable");
  EXPECT_EQ(error.line(), 2053);
  EXPECT_EQ(error.reportFile(), u"");
  EXPECT_EQ(error.reportFunction(), u"");
  EXPECT_EQ(error.reportLine(), 0);

  Kvx_Exception bare(u"call function error.");
  EXPECT_EQ(bare.file(), u"");
  EXPECT_EQ(bare.function(), u"");
  EXPECT_EQ(bare.line(), 0);
}

TEST(KvxExceptionTest, ReportTextIsTheMessageAndALineFeed) {
  EXPECT_EQ(Kvx_Exception(u"Unexpected error.").ReportText(), u"Unexpected error.\n");
  EXPECT_EQ(Kvx_Exception(u"").ReportText(), u"\n");
  // No cut, however long the message.
  std::u16string longMessage(5000, u'x');
  EXPECT_EQ(Kvx_Exception(longMessage).ReportText(), longMessage + u"\n");
}

TEST(KvxExceptionTest, SettersFillTheReportSiteAndIgnoreNullTexts) {
  Kvx_Exception error(u"boom");
  error.SetReportFile(u".\\Harbolt");
  error.SetReportFunction(u"CHarbolt::CreateMenu");
  error.SetReportLine(520);
  error.SetReportFile(nullptr);
  error.SetReportFunction(nullptr);
  EXPECT_EQ(error.reportFile(), u".\\Harbolt");
  EXPECT_EQ(error.reportFunction(), u"CHarbolt::CreateMenu");
  EXPECT_EQ(error.reportLine(), 520);
  // The raise site is not touched by the report site.
  EXPECT_EQ(error.file(), u"");
  EXPECT_EQ(error.function(), u"");
}

TEST(KvxExceptionTest, IsAStandardExceptionWhoseWhatIsTheMessageInUtf8) {
  try {
    throw Kvx_Exception(u"数据表节点不存在", u"f", u"g", 1);
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(),
                 "\xE6\x95\xB0\xE6\x8D\xAE\xE8\xA1\xA8\xE8\x8A\x82\xE7\x82\xB9"
                 "\xE4\xB8\x8D\xE5\xAD\x98\xE5\x9C\xA8");
  }
}

TEST(KvxExceptionTest, CopiesEveryField) {
  Kvx_Exception original(u"m", u"f", u"g", 7);
  original.SetReportFile(u"rf");
  original.SetReportFunction(u"rg");
  original.SetReportLine(9);
  Kvx_Exception copy = original;
  EXPECT_EQ(copy.message(), u"m");
  EXPECT_EQ(copy.file(), u"f");
  EXPECT_EQ(copy.function(), u"g");
  EXPECT_EQ(copy.line(), 7);
  EXPECT_EQ(copy.reportFile(), u"rf");
  EXPECT_EQ(copy.reportFunction(), u"rg");
  EXPECT_EQ(copy.reportLine(), 9);
  EXPECT_STREQ(copy.what(), "m");

  Kvx_Exception assigned(u"other");
  assigned = copy;
  EXPECT_EQ(assigned.reportFunction(), u"rg");
  EXPECT_STREQ(assigned.what(), "m");
}

}  // namespace
