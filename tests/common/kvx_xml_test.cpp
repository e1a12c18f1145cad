#include "common/kvx_xml.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "tests/support/temp_dir.h"

// The host process may have changed libxml2's process-wide parser defaults;
// the tests set this one the way such a host would.
extern "C" int xmlSubstituteEntitiesDefault(int val);

namespace {

using Dovbase::XmlDocument;
using Dovbase::XmlElement;

constexpr char16_t kNotParsed[] = u"Document not parsed successfully. \n";

const std::u16string kDictionary =
    u"<dd><tabs>"
    u"<tab name=\"Feature\" n=\"1\"><flds><fld name=\"featName\" dt=\"4\"/></flds></tab>"
    u"<tab name=\"Equation\" n=\"2\"/>"
    u"<tab name=\"Equation\" n=\"3\"/>"
    u"</tabs></dd>";

std::u16string Utf16(std::string_view utf8) { return platform::Utf8ToUtf16(utf8); }

std::u16string Repeat(std::u16string_view part, int times) {
  std::u16string text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

// An entity `name` declared as `count` references to `inner`.
std::u16string EntityOf(std::u16string_view name, std::u16string_view inner, int count) {
  return u"<!ENTITY " + std::u16string(name) + u" \"" +
         Repeat(u"&" + std::u16string(inner) + u";", count) + u"\">";
}

class XmlDocumentTest : public ::testing::Test {
 protected:
  int Parse(std::u16string_view text) { return doc_.parse(text); }
  XmlElement Select(std::u16string_view xpath) const { return doc_.selectFirst(xpath); }
  std::u16string NameAt(std::u16string_view xpath) const { return Select(xpath).name(); }
  std::u16string AttributeAt(std::u16string_view xpath, std::u16string_view name) const {
    return Select(xpath).attribute(name);
  }
  std::u16string DumpAt(std::u16string_view xpath) const { return Select(xpath).dump(); }

  // The names of the element's children, walked with firstChild and
  // nextSibling, joined by commas.
  static std::u16string ChildNames(const XmlElement& element) {
    std::u16string names;
    for (XmlElement child = element.firstChild(); !child.isEmpty(); child = child.nextSibling()) {
      if (!names.empty()) names += u",";
      names += child.name();
    }
    return names;
  }

  // Whether any text that the document exposes contains `needle`: the markup
  // of the root element, its string value (which expands entity references)
  // and the attribute `attribute` of the root.
  bool Exposes(std::u16string_view needle, std::u16string_view attribute = u"v") const {
    const XmlElement root = Select(u"/*");
    const std::u16string query = u"/*[contains(., '" + std::u16string(needle) + u"')]";
    return root.dump().find(needle) != std::u16string::npos || !Select(query).isEmpty() ||
           root.attribute(attribute).find(needle) != std::u16string::npos;
  }

  XmlDocument doc_;
};

TEST_F(XmlDocumentTest, FailedParseSetsTheErrorStateForTheRestOfTheObject) {
  EXPECT_FALSE(doc_.isParsed());
  EXPECT_EQ(0, doc_.errorFlag());
  EXPECT_EQ(u"", doc_.errorText());

  EXPECT_EQ(1, Parse(u"<a><b></a>"));
  EXPECT_FALSE(doc_.isParsed());
  EXPECT_EQ(1, doc_.errorFlag());
  EXPECT_EQ(kNotParsed, doc_.errorText());

  ASSERT_EQ(0, Parse(std::u16string_view(u"<a><b/></a>\0<c/>", 16)));  // Ends at the zero.
  EXPECT_TRUE(doc_.isParsed());
  EXPECT_EQ(u"b", NameAt(u"/a/b"));
  EXPECT_EQ(1, doc_.errorFlag());
  EXPECT_EQ(kNotParsed, doc_.errorText());

  // A failure drops the document held before.
  EXPECT_EQ(1, Parse(u""));
  EXPECT_FALSE(doc_.isParsed());
  EXPECT_TRUE(Select(u"/a").isEmpty());
  EXPECT_EQ(kNotParsed, doc_.errorText());

  for (std::u16string_view bad :
       {std::u16string_view(u"   "), std::u16string_view(u"plain text"),
        std::u16string_view(u"<a/><b/>"), std::u16string_view(u"<a x='1' x='2'/>"),
        std::u16string_view(u"<a>&undeclared;</a>"), std::u16string_view(u"<a>\0</a>", 8)}) {
    XmlDocument doc;
    EXPECT_EQ(1, doc.parse(bad)) << platform::Utf16ToUtf8(bad);
    EXPECT_FALSE(doc.isParsed());
    EXPECT_EQ(1, doc.errorFlag());
    EXPECT_EQ(kNotParsed, doc.errorText());
  }
}

TEST_F(XmlDocumentTest, FreeDropsTheDocumentAndKeepsTheErrorState) {
  doc_.free();  // Nothing held: harmless.
  EXPECT_FALSE(doc_.isParsed());

  ASSERT_EQ(1, Parse(u"<a>"));
  ASSERT_EQ(0, Parse(kDictionary));
  doc_.free();
  EXPECT_FALSE(doc_.isParsed());
  EXPECT_TRUE(Select(u"/dd").isEmpty());
  EXPECT_EQ(1, doc_.errorFlag());
  EXPECT_EQ(kNotParsed, doc_.errorText());
  doc_.free();
  EXPECT_FALSE(doc_.isParsed());

  // A new parse replaces the old document whole.
  ASSERT_EQ(0, Parse(u"<mnus caption=\"Main\"/>"));
  ASSERT_EQ(0, Parse(u"<mnus caption=\"Other\"/>"));
  EXPECT_EQ(u"Other", AttributeAt(u"/mnus", u"caption"));
  EXPECT_TRUE(Select(u"/dd").isEmpty());
}

TEST_F(XmlDocumentTest, ChineseNamesAndValuesComeBackUnchanged) {
  ASSERT_EQ(0, Parse(u"<菜单 标题=\"零件库\">"
                     u"<项 名称=\"导出 数据\" 备注=\"𠀀𪚥\"/><项 名称=\"导入\"/>"
                     u"</菜单>"));
  const XmlElement menu = Select(u"/菜单");
  EXPECT_EQ(u"菜单", menu.name());
  EXPECT_EQ(u"零件库", menu.attribute(u"标题"));
  EXPECT_EQ(u"导出 数据", menu.child(0).attribute(u"名称"));
  EXPECT_EQ(u"𠀀𪚥", menu.child(0).attribute(u"备注"));  // Outside the BMP: surrogate pairs.
  EXPECT_EQ(u"导入", AttributeAt(u"//项[@名称='导入']", u"名称"));
  EXPECT_EQ(u"项,项", ChildNames(menu));
  EXPECT_EQ(u"<项 名称=\"导入\"/>", DumpAt(u"//项[2]"));

  ASSERT_EQ(0, Parse(u"<dd><tabs><tab name=\"零件\" n=\"1\"/><tab name=\"零件库\" n=\"2\"/>"
                     u"</tabs></dd>"));
  EXPECT_EQ(u"2", AttributeAt(u"/dd/tabs/tab[@name='零件库']", u"n"));

  // The text reaches the parser already decoded, so a declared encoding, a
  // byte order mark or character references change nothing.
  for (std::u16string_view text :
       {std::u16string_view(u"<?xml version=\"1.0\" encoding=\"GB2312\"?><菜单 标题=\"零件库\"/>"),
        std::u16string_view(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><菜单 标题=\"零件库\"/>"),
        std::u16string_view(u"\uFEFF<菜单 标题=\"零件库\"/>"),
        std::u16string_view(u"<菜单 标题=\"&#x96F6;&#20214;库\"/>")}) {
    XmlDocument doc;
    ASSERT_EQ(0, doc.parse(text)) << platform::Utf16ToUtf8(text);
    EXPECT_EQ(u"菜单", doc.selectFirst(u"/*").name());
    EXPECT_EQ(u"零件库", doc.selectFirst(u"/*").attribute(u"标题"));
    EXPECT_EQ(u"<菜单 标题=\"零件库\"/>", doc.selectFirst(u"/*").dump());
  }
}

TEST_F(XmlDocumentTest, AttributeIsReadFromTheElementOnlyWithItsExactName) {
  ASSERT_EQ(0, Parse(u"<fld name=\"equIndex\" empty=\"\" Name=\"upper\" dt=\" 1 \" "
                     u"text=\"a &lt; b &amp; &#x4E2D;\"><sub isPK=\"1\"/></fld>"));
  const XmlElement fld = Select(u"/fld");
  EXPECT_EQ(u"equIndex", fld.attribute(u"name"));
  EXPECT_EQ(u"upper", fld.attribute(u"Name"));
  EXPECT_EQ(u"", fld.attribute(u"NAME"));
  EXPECT_EQ(u"", fld.attribute(u"empty"));
  EXPECT_EQ(u"", fld.attribute(u"missing"));
  EXPECT_EQ(u"", fld.attribute(u"isPK"));  // A child's attribute is not the element's.
  EXPECT_EQ(u"", fld.attribute(u""));
  EXPECT_EQ(u"", fld.attribute(std::u16string_view(u"name\0x", 6)));
  EXPECT_EQ(u" 1 ", fld.attribute(u"dt"));
  EXPECT_EQ(u"a < b & 中", fld.attribute(u"text"));
}

TEST_F(XmlDocumentTest, AttributeDefaultedByTheDtdReadsAsEmpty) {
  ASSERT_EQ(0,
            Parse(u"<!DOCTYPE flds [\n"
                  u"  <!ATTLIST fld dt CDATA \"4\" isPK CDATA #FIXED \"1\">\n"
                  u"  <!ENTITY co \"Company\">\n"
                  u"]>\n"
                  u"<flds><fld name=\"a\"/><fld name=\"b\" dt=\"3\" isPK=\"1\" owner=\"&co; Ltd\"/>"
                  u"</flds>"));
  EXPECT_EQ(u"", AttributeAt(u"//fld[1]", u"dt"));
  EXPECT_EQ(u"", AttributeAt(u"//fld[1]", u"isPK"));
  EXPECT_EQ(u"3", AttributeAt(u"//fld[2]", u"dt"));
  EXPECT_EQ(u"1", AttributeAt(u"//fld[2]", u"isPK"));
  // Internal entities are expanded when a value is read, and stay references
  // in the markup.
  EXPECT_EQ(u"Company Ltd", AttributeAt(u"//fld[2]", u"owner"));
  EXPECT_EQ(u"<fld name=\"b\" dt=\"3\" isPK=\"1\" owner=\"&co; Ltd\"/>", DumpAt(u"//fld[2]"));
}

TEST_F(XmlDocumentTest, ChildOperationsSeeElementsOnly) {
  ASSERT_EQ(0, Parse(u"<r>lead<!--c--><?pi x?><a><a1/></a>mid<b/><![CDATA[x]]><c/>tail</r>"
                     u"<!--after-->"));
  const XmlElement root = Select(u"/r");
  EXPECT_EQ(3, root.childCount());
  EXPECT_EQ(u"a", root.child(0).name());
  EXPECT_EQ(u"b", root.child(1).name());
  EXPECT_EQ(u"c", root.child(2).name());
  EXPECT_TRUE(root.child(3).isEmpty());
  EXPECT_TRUE(root.child(-1).isEmpty());
  EXPECT_TRUE(root.child(INT_MIN).isEmpty());
  EXPECT_TRUE(root.child(INT_MAX).isEmpty());
  EXPECT_EQ(u"a,b,c", ChildNames(root));
  EXPECT_EQ(u"a1", ChildNames(root.child(0)));
  EXPECT_EQ(1, root.child(0).childCount());

  const XmlElement leaf = root.child(2);
  EXPECT_EQ(0, leaf.childCount());
  EXPECT_TRUE(leaf.firstChild().isEmpty());
  EXPECT_TRUE(leaf.child(0).isEmpty());
  EXPECT_TRUE(leaf.nextSibling().isEmpty());
  EXPECT_TRUE(root.nextSibling().isEmpty());  // A comment follows the root, no element.

  // Handles are plain values: copies see the same element.
  XmlElement copy = root.child(1);
  const XmlElement other = copy;
  copy = copy.nextSibling();
  EXPECT_EQ(u"b", other.name());
  EXPECT_EQ(u"c", copy.name());
}

TEST_F(XmlDocumentTest, EmptyHandlesAndUnparsedDocumentsGiveEmptyResults) {
  const XmlElement empty;
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_EQ(u"", empty.name());
  EXPECT_EQ(u"", empty.attribute(u"name"));
  EXPECT_EQ(0, empty.childCount());
  EXPECT_TRUE(empty.child(0).isEmpty());
  EXPECT_TRUE(empty.firstChild().isEmpty());
  EXPECT_TRUE(empty.nextSibling().isEmpty());
  EXPECT_EQ(u"", empty.dump());

  EXPECT_TRUE(Select(u"/dd").isEmpty());  // Never parsed.
  ASSERT_EQ(1, Parse(u"<dd>"));
  EXPECT_TRUE(Select(u"/dd").isEmpty());  // Failed parse.
  EXPECT_TRUE(Select(u"/dd").firstChild().isEmpty());
}

TEST_F(XmlDocumentTest, SelectFirstGivesTheFirstMatchInDocumentOrder) {
  ASSERT_EQ(0, Parse(kDictionary));
  EXPECT_EQ(u"2", AttributeAt(u"/dd/tabs/tab[@name='Equation']", u"n"));
  EXPECT_EQ(u"1", AttributeAt(u"//tab", u"n"));
  EXPECT_EQ(u"3", AttributeAt(u"(//tab)[last()]", u"n"));
  EXPECT_EQ(u"dd", NameAt(u"//tab | /dd"));  // Union results come in document order.
  EXPECT_EQ(u"tabs", NameAt(u"dd/tabs"));    // Relative to the document node.
  EXPECT_EQ(u"featName",
            Select(u"/dd/tabs/tab[@name='Feature']").firstChild().child(0).attribute(u"name"));
  EXPECT_TRUE(Select(u"/dd/tabs/tab[@name='feature']").isEmpty());  // Case-sensitive.
  EXPECT_TRUE(Select(u"/dd/tabs/tab[@name='Componen']").isEmpty());

  ASSERT_EQ(0, Parse(u"<mnus caption=\"Main\"><mnu id=\"007\"/><mnu id=\" 7 \" caption=\"Run\"/>"
                     u"<mnu id=\"7\" caption=\"Later\"/></mnus>"));
  EXPECT_EQ(u"Run", AttributeAt(u"//mnu[normalize-space(@id)='7']", u"caption"));
}

TEST_F(XmlDocumentTest, InvalidOrNonElementSelectionsGiveEmptyHandles) {
  ASSERT_EQ(0, Parse(u"<dd><!--note--><tabs><tab name=\"Feature\">text</tab></tabs></dd>"));
  for (std::u16string_view xpath : {
           std::u16string_view(u"/dd/tabs/tab[@name='Feature]"),  // Unbalanced quote.
           std::u16string_view(u"/dd/tabs/tab[@name='Feat'ure']"),
           std::u16string_view(u""),
           std::u16string_view(u"/dd/tabs/tab[@name=Feature"),
           std::u16string_view(u"/dd/tabs/tab/@name"),
           std::u16string_view(u"//text()"),
           std::u16string_view(u"//comment()"),
           std::u16string_view(u"/"),
           std::u16string_view(u"count(//tab)"),
           std::u16string_view(u"string(//tab/@name)"),
           std::u16string_view(u"/dd/missing"),
           std::u16string_view(u"//x:tab"),  // Undeclared prefix.
           std::u16string_view(u"/dd\0/tabs", 9),
       }) {
    EXPECT_TRUE(Select(xpath).isEmpty()) << platform::Utf16ToUtf8(xpath);
  }
  EXPECT_EQ(u"tab", NameAt(u"/dd/tabs/tab[@name='Feature']"));
}

TEST_F(XmlDocumentTest, DumpGivesTheWholeElementFormatted) {
  ASSERT_EQ(0, Parse(u"<mnus caption=\"Main\"><mnu id=\"1\" caption=\"Open\"/>"
                     u"<mnu id=\"-2\" caption=\"Tools\"><mnu id=\"2\" caption=\"Run &amp; stop\"/>"
                     u"<!--note--><mnu id=\"-2\" caption=\"More\"><mnu id=\"3\"/></mnu></mnu>"
                     u"<mnu id=\"4\">Say <b>hi</b></mnu></mnus>"));
  EXPECT_EQ(u"<mnu id=\"1\" caption=\"Open\"/>", DumpAt(u"/mnus/mnu[1]"));
  EXPECT_EQ(
      u"<mnu id=\"-2\" caption=\"Tools\">\n"
      u"  <mnu id=\"2\" caption=\"Run &amp; stop\"/>\n"
      u"  <!--note-->\n"
      u"  <mnu id=\"-2\" caption=\"More\">\n"
      u"    <mnu id=\"3\"/>\n"
      u"  </mnu>\n"
      u"</mnu>",
      DumpAt(u"/mnus/mnu[2]"));
  // Mixed content is written as it stands: indentation would change its text.
  EXPECT_EQ(u"<mnu id=\"4\">Say <b>hi</b></mnu>", DumpAt(u"//mnu[@id='4']"));
  EXPECT_EQ(u"Run & stop", AttributeAt(u"//mnu[@id='2']", u"caption"));
}

TEST_F(XmlDocumentTest, ExternalEntitiesAndDtdsAreNeverRead) {
  testing_support::TempDir dir;
  const std::string secret = "SECRET-7f3a";
  testing_support::WriteFile(dir / "secret.txt", secret);
  testing_support::WriteFile(
      dir / "ext.dtd", "<!ENTITY leak \"" + secret + "\"><!ATTLIST r v CDATA \"" + secret + "\">");
  const std::u16string file = Utf16((dir / "secret.txt").string());
  const std::u16string dtd = Utf16((dir / "ext.dtd").string());
  const std::u16string needle = Utf16(secret);

  const std::u16string general =
      u"<!DOCTYPE r [<!ENTITY e SYSTEM \"" + file + u"\">]><r v=\"1\">&e;</r>";
  ASSERT_EQ(0, Parse(general));
  EXPECT_EQ(u"<r v=\"1\">&e;</r>", DumpAt(u"/r"));
  EXPECT_FALSE(Exposes(needle));

  ASSERT_EQ(0, Parse(u"<!DOCTYPE r [<!ENTITY e SYSTEM \"file://" + file + u"\">]><r>&e;</r>"));
  EXPECT_FALSE(Exposes(needle));

  // The external subset is not loaded: the entity it declares stays an
  // unresolved reference, and its attribute default is not applied.
  ASSERT_EQ(0, Parse(u"<!DOCTYPE r SYSTEM \"" + dtd + u"\"><r>&leak;</r>"));
  EXPECT_EQ(u"<r>&leak;</r>", DumpAt(u"/r"));
  EXPECT_FALSE(Exposes(needle));
  // Nor is an external parameter entity, so the entity stays undeclared.
  EXPECT_EQ(1, Parse(u"<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtd + u"\"> %p;]><r>&leak;</r>"));

  // A host that switched entity substitution on for its own parsing does not
  // switch it on here.
  const int before = xmlSubstituteEntitiesDefault(1);
  const int parsed = Parse(general);
  xmlSubstituteEntitiesDefault(before);
  ASSERT_EQ(0, parsed);
  EXPECT_EQ(u"<r v=\"1\">&e;</r>", DumpAt(u"/r"));
  EXPECT_FALSE(Exposes(needle));
}

TEST_F(XmlDocumentTest, EntityExpansionCannotBlowUp) {
  const auto start = std::chrono::steady_clock::now();

  // Ten levels of ten references each: 10^10 copies of "ha".
  std::u16string laughs = u"<!DOCTYPE r [<!ENTITY l0 \"ha\">";
  for (int level = 1; level <= 10; ++level) {
    laughs +=
        EntityOf(u"l" + Utf16(std::to_string(level)), u"l" + Utf16(std::to_string(level - 1)), 10);
  }
  laughs += u"]>";
  EXPECT_EQ(1, Parse(laughs + u"<r>&l10;</r>"));
  EXPECT_EQ(1, Parse(laughs + u"<r v=\"&l10;\"/>"));
  EXPECT_EQ(kNotParsed, doc_.errorText());

  // One 50 KB entity referenced a thousand times: a 53 KB document whose
  // values would read as 50 MB.
  const std::u16string big = u"<!DOCTYPE r [<!ENTITY a \"" + Repeat(u"x", 50000) + u"\">]>";
  EXPECT_EQ(1, Parse(big + u"<r v=\"" + Repeat(u"&a;", 1000) + u"\"/>"));
  EXPECT_EQ(1, Parse(big + u"<r>" + Repeat(u"&a;", 1000) + u"</r>"));
  EXPECT_EQ(1, Parse(big + u"<r>" + Repeat(u"<x v=\"&a;&a;\">&a;</x>", 100) + u"</r>"));
  // References nested inside other entities count in full.
  const std::u16string nested = u"<!DOCTYPE r [<!ENTITY a \"" + Repeat(u"x", 50000) + u"\">" +
                                EntityOf(u"b", u"a", 10) + u"]>";
  EXPECT_EQ(1, Parse(nested + u"<r>" + Repeat(u"<x>&b;</x>", 100) + u"</r>"));

  // Moderate use still parses.
  ASSERT_EQ(0, Parse(nested + u"<r v=\"&b;\">" + Repeat(u"<x>&a;</x>", 10) + u"</r>"));
  EXPECT_EQ(500000u, AttributeAt(u"/r", u"v").size());
  EXPECT_EQ(10, Select(u"/r").childCount());

  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(XmlDocumentTest, DeepNestingAndCostlyExpressionsAreRefusedWithoutCrashing) {
  EXPECT_EQ(1, Parse(Repeat(u"<a>", 5000) + Repeat(u"</a>", 5000)));
  EXPECT_EQ(1, Parse(Repeat(u"<a>", 100000)));
  EXPECT_EQ(kNotParsed, doc_.errorText());

  ASSERT_EQ(0, Parse(Repeat(u"<a>", 200) + u"<leaf id=\"x\"/>" + Repeat(u"</a>", 200)));
  EXPECT_EQ(u"x", AttributeAt(u"//leaf", u"id"));
  EXPECT_EQ(u"<a>\n  <leaf id=\"x\"/>\n</a>", DumpAt(u"//a[leaf]"));
  const std::u16string whole = DumpAt(u"/a");
  size_t opened = 0;
  for (size_t at = whole.find(u"<a>"); at != std::u16string::npos;
       at = whole.find(u"<a>", at + 1)) {
    ++opened;
  }
  EXPECT_EQ(200u, opened);
  EXPECT_NE(std::u16string::npos, whole.find(u"<leaf id=\"x\"/>"));

  // An expression nested too deeply, and one that would take minutes.
  EXPECT_TRUE(Select(Repeat(u"(", 100000) + u"/a" + Repeat(u")", 100000)).isEmpty());
  ASSERT_EQ(0, Parse(u"<r>" + Repeat(u"<a/>", 2000) + u"</r>"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Select(u"//*[count(//*[count(//*) = -1]) = -1]").isEmpty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(u"r", NameAt(u"/*[count(a) = 2000]"));
  EXPECT_TRUE(Select(u"//*[count(//a) = 2000]").isEmpty());  // 2001 times 2000 steps.
}

TEST_F(XmlDocumentTest, LibraryDiagnosticsStayOutOfStderr) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(1, Parse(u"<a><b></a>"));
  EXPECT_EQ(1, Parse(u"<?xml version=\"1.0\" encoding=\"nonsense\"?><a></b>"));
  EXPECT_EQ(1, Parse(Repeat(u"<a>", 300)));
  EXPECT_EQ(0, Parse(u"<!DOCTYPE r SYSTEM \"/nonexistent/x.dtd\"><r>&undeclared;</r>"));
  EXPECT_TRUE(Select(u"//a[@x='1]").isEmpty());
  EXPECT_TRUE(Select(u"unknown-function()").isEmpty());
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

}  // namespace
