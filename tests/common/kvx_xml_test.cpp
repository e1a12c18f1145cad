#include "common/kvx_xml.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "tests/support/temp_dir.h"

// A host may have changed libxml2's process-wide defaults; one test does so.
extern "C" int xmlSubstituteEntitiesDefault(int val);

namespace {

using Dovbase::XmlElement;
using View = std::u16string_view;

constexpr char16_t kNotParsed[] = u"Document not parsed successfully. \n";

std::string Utf8(View text) { return platform::Utf16ToUtf8(text); }

std::u16string Repeat(View part, int times) {
  std::u16string text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

class XmlDocumentTest : public ::testing::Test {
 protected:
  int Parse(View text) { return doc_.parse(text); }
  XmlElement Select(View xpath) const { return doc_.selectFirst(xpath); }
  std::u16string AttributeAt(View xpath, View name) const { return Select(xpath).attribute(name); }
  std::u16string DumpAt(View xpath) const { return Select(xpath).dump(); }

  Dovbase::XmlDocument doc_;
};

TEST_F(XmlDocumentTest, AFailedParseSetsTheErrorStateForGoodAndDropsTheDocument) {
  EXPECT_FALSE(doc_.isParsed());
  EXPECT_EQ(0, doc_.errorFlag());
  EXPECT_EQ(u"", doc_.errorText());
  // Never parsed: selections are empty handles, which give empty results.
  const XmlElement empty = Select(u"/a");
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_EQ(u"", empty.name() + empty.attribute(u"name") + empty.dump());
  EXPECT_EQ(0, empty.childCount());
  EXPECT_TRUE(empty.child(0).isEmpty() && empty.firstChild().isEmpty() &&
              empty.nextSibling().isEmpty());
  for (View bad :
       {View(u"<a><b></a>"), View(u""), View(u"   "), View(u"plain text"), View(u"<a/><b/>"),
        View(u"<a x='1' x='2'/>"), View(u"<a>&undeclared;</a>"), View(u"<a>\0</a>", 8)}) {
    ASSERT_EQ(0, Parse(u"<a><b/></a>"));
    EXPECT_EQ(1, Parse(bad)) << Utf8(bad);
    EXPECT_FALSE(doc_.isParsed());
    EXPECT_TRUE(Select(u"/a").isEmpty());
    EXPECT_EQ(1, doc_.errorFlag());
    EXPECT_EQ(kNotParsed, doc_.errorText());
  }
  // The text ends at a zero; a success keeps the error state.
  ASSERT_EQ(0, Parse(View(u"<a><b/></a>\0<c/>", 16)));
  EXPECT_TRUE(doc_.isParsed());
  EXPECT_EQ(u"b", Select(u"/a/b").name());
  EXPECT_EQ(kNotParsed, doc_.errorText());
  doc_.free();
  EXPECT_FALSE(doc_.isParsed());
  EXPECT_TRUE(Select(u"/a").isEmpty());
  EXPECT_EQ(1, doc_.errorFlag());
}

TEST_F(XmlDocumentTest, ChineseNamesAndValuesComeBackUnchangedWhateverTheDeclaredEncoding) {
  for (View text : {View(u"<?xml version=\"1.0\" encoding=\"GB2312\"?><菜单 标题=\"零件库𠀀\"/>"),
                    View(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><菜单 标题=\"零件库𠀀\"/>"),
                    View(u"\uFEFF<菜单 标题=\"零件库𠀀\"/>"),
                    View(u"<菜单 标题=\"&#x96F6;&#20214;库&#x20000;\"/>")}) {
    ASSERT_EQ(0, Parse(text)) << Utf8(text);
    EXPECT_EQ(u"零件库𠀀", AttributeAt(u"/菜单", u"标题"));  // With a surrogate pair.
    EXPECT_EQ(u"<菜单 标题=\"零件库𠀀\"/>", DumpAt(u"/*"));
  }
}

TEST_F(XmlDocumentTest, AttributesAreTheElementsOwnByExactName) {
  ASSERT_EQ(0, Parse(u"<!DOCTYPE fld [<!ATTLIST fld dt CDATA \"4\" isPK CDATA #FIXED \"1\">"
                     u"<!ENTITY co \"Company\">]>"
                     u"<fld name=\"equIndex\" empty=\"\" Name=\"upper\" owner=\"&co; Ltd\" "
                     u"text=\"a &lt; b &amp; &#x4E2D;\"><sub dt=\"3\" v=\" 1 \"/></fld>"));
  // Not a child's attribute, nor a default from the DTD; internal entities
  // expand when read, and stay references in the markup.
  const struct {
    View xpath, name, value;
  } cases[] = {{u"/fld", u"name", u"equIndex"},
               {u"/fld", u"Name", u"upper"},
               {u"/fld", u"NAME", u""},
               {u"/fld", u"empty", u""},
               {u"/fld", u"missing", u""},
               {u"/fld", u"", u""},
               {u"/fld", View(u"name\0x", 6), u""},
               {u"/fld", u"v", u""},
               {u"/fld", u"dt", u""},
               {u"/fld", u"isPK", u""},
               {u"/fld/sub", u"dt", u"3"},
               {u"/fld/sub", u"v", u" 1 "},
               {u"/fld", u"text", u"a < b & 中"},
               {u"/fld", u"owner", u"Company Ltd"}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.value, AttributeAt(c.xpath, c.name)) << Utf8(c.xpath) << "@" << Utf8(c.name);
  }
  EXPECT_TRUE(DumpAt(u"/fld").starts_with(
      u"<fld name=\"equIndex\" empty=\"\" Name=\"upper\" owner=\"&co; Ltd\""));
}

TEST_F(XmlDocumentTest, SelectFirstGivesTheFirstElementInDocumentOrderOrNothing) {
  ASSERT_EQ(0, Parse(u"<dd><!--note--><tabs>t<!--c--><?pi x?><tab n=\"1\"><flds><fld "
                     u"name=\"featName\"/></flds>t</tab>"
                     u"<tab name=\"Equation\" n=\"2\"/><tab name=\"Equation\" n=\"3\"/>"
                     u"<tab name=\"零件库\" n=\"4\" id=\" 7 \"/></tabs></dd>"));
  // The first in document order, relative to the document node.
  EXPECT_EQ(u"2", AttributeAt(u"dd/tabs/tab[@name='Equation']", u"n"));
  EXPECT_EQ(u"4", AttributeAt(u"//tab[normalize-space(@id)='7' and @name='零件库']", u"n"));
  EXPECT_EQ(u"dd", Select(u"//tab | /dd").name());
  // Children are elements only; an index outside them gives an empty handle.
  const XmlElement tabs = Select(u"//tabs");
  EXPECT_EQ(4, tabs.childCount());
  EXPECT_EQ(u"featName", tabs.firstChild().firstChild().child(0).attribute(u"name"));
  EXPECT_EQ(u"3", tabs.child(0).nextSibling().nextSibling().attribute(u"n"));
  for (int outside : {4, -1, INT_MIN, INT_MAX}) EXPECT_TRUE(tabs.child(outside).isEmpty());
  EXPECT_TRUE(tabs.child(3).nextSibling().isEmpty());
  for (View xpath : {View(u"//tab[@name='equation']"),  // Case-sensitive.
                     View(u"//tab[@name='Equation]"), View(u"//tab[@name=Eq"), View(u""),
                     View(u"//tab[@name='Eq'ua']"), View(u"//tab/@name"), View(u"//text()"),
                     View(u"//comment()"), View(u"/"), View(u"count(//tab)"),
                     View(u"string(//tab/@n)"), View(u"//x:tab"), View(u"/dd\0/tabs", 9)}) {
    EXPECT_TRUE(Select(xpath).isEmpty()) << Utf8(xpath);
  }
}

TEST_F(XmlDocumentTest, ExternalEntitiesStayUnreadEvenWhenTheHostSubstitutesEntities) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "secret.txt", "SECRET-7f3a");
  const std::u16string text = u"<!DOCTYPE r [<!ENTITY e SYSTEM \"" +
                              platform::Utf8ToUtf16((dir / "secret.txt").string()) +
                              u"\">]><r v=\"1\">&e;</r>";
  const int before = xmlSubstituteEntitiesDefault(1);
  const int parsed = Parse(text);
  xmlSubstituteEntitiesDefault(before);
  ASSERT_EQ(0, parsed);
  EXPECT_EQ(u"<r v=\"1\">&e;</r>", DumpAt(u"/r"));
  EXPECT_TRUE(Select(u"/r[contains(., 'SECRET')]").isEmpty());
}

TEST_F(XmlDocumentTest, ExpansionAndNestingBombsAreRefusedQuickly) {
  const auto start = std::chrono::steady_clock::now();
  // A 50 KB entity, and b of ten references to it: nested references count in full.
  const std::u16string big = u"<!DOCTYPE r [<!ENTITY a \"" + Repeat(u"x", 50000) + u"\">";
  const std::u16string nested = big + u"<!ENTITY b \"" + Repeat(u"&a;", 10) + u"\">]>";
  for (const std::u16string& refused :
       {big + u"]><r v=\"" + Repeat(u"&a;", 1000) + u"\"/>",
        big + u"]><r>" + Repeat(u"&a;", 1000) + u"</r>",
        big + u"]><r>" + Repeat(u"<x v=\"&a;&a;\">&a;</x>", 100) + u"</r>",
        nested + u"<r>" + Repeat(u"<x>&b;</x>", 100) + u"</r>",
        nested + u"<r v=\"" + Repeat(u"&b;", 100) + u"\"/>",
        Repeat(u"<a>", 5000) + Repeat(u"</a>", 5000), Repeat(u"<a>", 100000)}) {
    EXPECT_EQ(1, Parse(refused)) << Utf8(refused.substr(refused.size() - 60));
  }
  // Moderate use still parses.
  ASSERT_EQ(0, Parse(nested + u"<r v=\"&b;\">" + Repeat(u"<x>&a;</x>", 10) + u"</r>"));
  EXPECT_EQ(500000u, AttributeAt(u"/r", u"v").size());
  EXPECT_EQ(10, Select(u"/r").childCount());
  ASSERT_EQ(0, Parse(Repeat(u"<a>", 200) + u"<leaf id=\"x\"/>" + Repeat(u"</a>", 200)));
  EXPECT_EQ(u"<a>\n  <leaf id=\"x\"/>\n</a>", DumpAt(u"//a[leaf]"));
  std::u16string whole = DumpAt(u"/a");  // All 200 levels, whatever the indentation.
  std::erase_if(whole, [](char16_t c) { return c == u' ' || c == u'\n'; });
  EXPECT_EQ(Repeat(u"<a>", 200) + u"<leafid=\"x\"/>" + Repeat(u"</a>", 200), whole);
  // An expression nested too deeply, and one that would take minutes.
  EXPECT_TRUE(Select(Repeat(u"(", 100000) + u"/a" + Repeat(u")", 100000)).isEmpty());
  ASSERT_EQ(0, Parse(u"<r>" + Repeat(u"<a/>", 2000) + u"</r>"));
  EXPECT_TRUE(Select(u"//*[count(//*[count(//*) = -1]) = -1]").isEmpty());
  EXPECT_EQ(u"r", Select(u"/*[count(a) = 2000]").name());
  EXPECT_TRUE(Select(u"//*[count(//a) = 2000]").isEmpty());  // 2001 times 2000 steps.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(XmlDocumentTest, LibraryDiagnosticsStayOutOfStderr) {
  testing::internal::CaptureStderr();
  // Parse errors: see the command-line tests, whose error output is the program's alone.
  EXPECT_EQ(0, Parse(u"<!DOCTYPE r SYSTEM \"/nonexistent/x.dtd\"><r>&undeclared;</r>"));
  EXPECT_TRUE(Select(u"//a[@x='1]").isEmpty());
  EXPECT_TRUE(Select(u"unknown-function()").isEmpty());
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

}  // namespace
