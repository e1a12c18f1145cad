// Hostile input through the loaded add-in: menu definitions with hostile
// captions, thousands of items or levels, entities; caller texts that must come
// back exactly; malformed, huge or cyclic model files handed to OpenFile.
#include <chrono>

#include "tests/addin/addin_fixture.h"
#include "tests/reliability/fault_sweep.h"

namespace addin_test {
namespace {

const std::u16string kNul(u"nul\0inside", 10);

std::u16string Repeat(std::u16string_view piece, size_t times) {
  std::u16string text;
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

class HostileAddinTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    host_.Open(Sample("Shaft.SLDPRT"));
    Connect();
    source_ = NewEventSource();
  }
  void TearDown() override {
    source_ = nullptr;
    const long objects = host_.LiveObjects();
    DisconnectAndRelease();
    EXPECT_GE(objects, host_.LiveObjects());
  }

  HRESULT CreateMenu(const std::u16string& definition) {
    return CallMember(harbolt(), u"CreateMenu", {Arg(definition)});
  }
  ComPtr<CallerStandIn> source_;
};

TEST_F(HostileAddinTest, HostileCaptionsAndHandlesComeBackExactly) {
  // The hostile texts a caller or a menu definition may carry: what the
  // add-in must hand on, and how the definition writes it in an attribute.
  const std::pair<std::u16string, std::u16string> texts[] = {
      {u"it's \"q\"", u"it&apos;s &quot;q&quot;"},
      {u"C:\\dir\\", u"C:\\dir\\"},
      {u"100% %s%n%d%x", u"100% %s%n%d%x"},
      {u"🔩 螺栓", u"🔩 螺栓"},
      {u"<tag> & ]]>", u"&lt;tag&gt; &amp; ]]&gt;"},
      {std::u16string(100000, u'm'), std::u16string(100000, u'm')}};
  for (const auto& [text, xml] : texts) {
    SCOPED_TRACE(reliability::Utf8(text).substr(0, 40));
    // The cax handle goes back unchanged with every click, zero characters included.
    const std::u16string handle = text + kNul;
    ASSERT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(handle)}));
    ASSERT_EQ(S_OK, Call(harbolt(), u"SetWorkDir", {Arg(handle)}));
    ASSERT_EQ(S_OK, CreateMenu(u"<mnus caption='" + xml + u"'><mnu id='3' caption='" + xml +
                               u"'/><mnu id='-2' caption='" + xml +
                               u"'><mnu id='4' caption='Inner'/></mnu></mnus>"));
    const sim::CommandGroupRecord& top = Group(1);
    EXPECT_EQ(text, top.title);
    ASSERT_EQ(2u, top.items.size());
    EXPECT_EQ(text, top.items[1].name);
    EXPECT_EQ(text + u"\\" + text, Group(2).title);

    const size_t before = source_->clicks().size();
    EXPECT_EQ(S_OK, host_.Click(kCookie, 1, 1));
    ASSERT_EQ(before + 1, source_->clicks().size());
    EXPECT_EQ(handle, source_->clicks().back().caxHandle);
    EXPECT_NE(std::u16string::npos, source_->clicks().back().menuItem.find(u"id=\"3\""));
  }
}

TEST_F(HostileAddinTest, HugeMenuDefinitionsAreBuiltOrRefusedQuickly) {
  const auto start = std::chrono::steady_clock::now();
  // Thousands of commands: more than the hundred callbacks, refused whole.
  EXPECT_EQ(E_INVALIDARG, CreateMenu(u"<mnus caption='M'>" +
                                     Repeat(u"<mnu id='1' caption='c'/>", 5000) + u"</mnus>"));
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_TRUE(commands().LiveGroupIds().empty());

  // Thousands of separators and submenus: built, each a group of its own.
  EXPECT_EQ(S_OK, CreateMenu(u"<mnus caption='M'>" + Repeat(u"<mnu id='-1'/>", 5000) +
                             Repeat(u"<mnu id='-2' caption='s'/>", 2000) + u"</mnus>"));
  EXPECT_EQ(2001u, commands().LiveGroupIds().size());

  // Nesting thousands deep: the XML layer refuses it.
  EXPECT_EQ(E_INVALIDARG,
            CreateMenu(u"<mnus caption='M'>" + Repeat(u"<mnu id='-2' caption='d'>", 5000) +
                       Repeat(u"</mnu>", 5000) + u"</mnus>"));
  EXPECT_EQ(1, ErrorNumber());
  EXPECT_EQ(u"Document not parsed successfully. \n", ErrorDescription());
  // Nesting a hundred deep is built, with paths a hundred captions long.
  EXPECT_EQ(S_OK, CreateMenu(u"<mnus caption='M'>" + Repeat(u"<mnu id='-2' caption='d'>", 100) +
                             u"<mnu id='1' caption='x'/>" + Repeat(u"</mnu>", 100) + u"</mnus>"));
  EXPECT_EQ(101u, commands().LiveGroupIds().size());
  EXPECT_EQ(u"M" + Repeat(u"\\d", 100), commands().LiveGroup(101)->title);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST_F(HostileAddinTest, MenuEntitiesAndExternalReferencesAreNotFollowed) {
  const std::filesystem::path secret = dir_ / "secret.txt";
  testing_support::WriteFile(secret, "SECRETCAPTION");
  const std::u16string uri = platform::Utf8ToUtf16("file://" + secret.string());
  // Entities that expand to gigabytes: each ten times the one before.
  std::u16string laughs = u"<!DOCTYPE mnus [<!ENTITY a 'aaaaaaaaaa'>";
  for (char16_t entity = u'b'; entity <= u'h'; ++entity) {
    laughs += u"<!ENTITY " + std::u16string(1, entity) + u" '" +
              Repeat(u"&" + std::u16string(1, char16_t(entity - 1)) + u";", 10) + u"'>";
  }
  const std::u16string definitions[] = {
      u"<!DOCTYPE mnus [<!ENTITY s SYSTEM '" + uri +
          u"'>]><mnus caption='&s;'><mnu id='1' caption='x&s;'/></mnus>",
      u"<!DOCTYPE mnus SYSTEM '" + uri + u"'><mnus caption='M'><mnu id='1' caption='x'/></mnus>",
      u"<!DOCTYPE mnus [<!ENTITY % p SYSTEM '" + uri +
          u"'> %p;]><mnus caption='M'><mnu id='1' caption='x'/></mnus>",
      u"<!DOCTYPE mnus SYSTEM 'http://127.0.0.1:9/m.dtd'><mnus caption='M'><mnu id='1'/></mnus>",
      laughs + u"]><mnus caption='&h;'><mnu id='1' caption='&h;'/></mnus>"};
  for (const std::u16string& definition : definitions) {
    SCOPED_TRACE(reliability::Utf8(definition).substr(0, 80));
    const auto start = std::chrono::steady_clock::now();
    const HRESULT hr = CreateMenu(definition);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(hr == S_OK || hr == E_INVALIDARG) << std::hex << hr;
    for (const sim::CommandGroupRecord& group : commands().groups) {
      EXPECT_EQ(std::u16string::npos, group.title.find(u"SECRET"));
      for (const sim::CommandItemRecord& item : group.items) {
        EXPECT_EQ(std::u16string::npos, item.name.find(u"SECRET"));
      }
      // No caption anywhere near the amplified size.
      EXPECT_LT(group.title.size(), 20000000u);
    }
    if (hr == S_OK) host_.ClickNamed(kCookie, u"x");
    for (const CallerStandIn::Click& click : source_->clicks()) {
      EXPECT_EQ(std::u16string::npos, click.menuItem.find(u"SECRET"));
    }
  }
}

// Malformed, deep and cyclic model files are refused and leave nothing open;
// a huge but sound one opens.
TEST_F(HostileAddinTest, MalformedHugeAndCyclicModelFilesAreNotOpened) {
  std::string deep = R"({"type": "part", "features": [)";
  std::string big =
      R"({"type": "part", "title": ")" + std::string(5000000, 't') + R"(", "features": [)";
  std::string closing = "]}";
  for (int i = 0; i < 5000; ++i) {
    closing += "]}";
    const std::string feature = R"({"name": "F)" + std::to_string(i) + R"(", "typeName": "x")";
    deep += feature + R"(, "subFeatures": [)";
    big += (i ? "," : "") + feature + "}";
  }
  const std::pair<const char*, std::string> cases[] = {
      {"Broken.SLDPRT", R"({"type": "part", )"},
      {"Empty.SLDPRT", ""},
      {"Binary.SLDPRT", std::string("\0\xff\xfe\x01garbage", 12)},
      {"WrongType.SLDPRT", R"({"type": "assembly"})"},
      {"Overflow.SLDPRT", R"({"type": "part", "dimensions": [{"name": "D@F", "value": 1e999}]})"},
      {"Deep.SLDPRT", deep + closing},
      {"Cycle.SLDASM", R"({"type": "assembly", "configurations": [{"name": "D", "components": [
          {"name": "C-1", "file": "Cycle.SLDASM"}]}]})"},
      {"Big.SLDPRT", big + "]}"}};  // the one that opens
  for (const auto& [file, text] : cases) {
    SCOPED_TRACE(file);
    const size_t open = host_.OpenDocuments().size();
    testing_support::WriteFile(dir_ / file, text);
    BSTR name = SysAllocString((dir_ / file).u16string().c_str());
    const HRESULT hr = CallMember(harbolt(), u"OpenFile", {Arg::BstrRef(&name)});
    SysFreeString(name);
    EXPECT_EQ(std::string_view(file) == "Big.SLDPRT" ? S_OK : kFailed, hr);
    if (hr != S_OK) {
      EXPECT_EQ(-1, ErrorNumber());
      EXPECT_EQ(open, host_.OpenDocuments().size());
    }
  }
}

}  // namespace
}  // namespace addin_test
