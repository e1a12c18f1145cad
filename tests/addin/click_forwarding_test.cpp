// Clicks on the caller's commands: the host calls ToolbarCallback100 to
// ToolbarCallback199 by name and the add-in sends "FireClickMenu" to the
// caller's event source.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallerStandIn;
using testing_support::LongProperty;
using testing_support::TextProperty;

class ClickForwardingTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    Connect();
  }

  void Menu(std::u16string_view items) {
    ASSERT_EQ(S_OK, Call(harbolt(), u"CreateMenu",
                         {Arg(u"<mnus caption='Main'>" + std::u16string(items) + u"</mnus>")}));
  }
  // Clicks the caller's command with that caption as the host does.
  HRESULT Click(std::u16string_view caption) { return host_.ClickNamed(kCookie, caption); }
  std::u16string PathOf(const char* sample) {
    return platform::Utf8ToUtf16(Sample(sample).string());
  }
  std::vector<std::u16string> ClickedItems(const CallerStandIn& source) {
    std::vector<std::u16string> items;
    for (const CallerStandIn::Click& click : source.clicks()) items.push_back(click.menuItem);
    return items;
  }
};

TEST_F(ClickForwardingTest, AClickSendsTheHandleThePathAndTheElement) {
  ComPtr<CallerStandIn> source = NewEventSource();
  ASSERT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(u"cax-42")}));
  Menu(
      u"<mnu id='3' caption='Export' table='Feature'><arg name='db'>x.db</arg></mnu>"
      u"<mnu id='-2' caption='Tools'><mnu id='4' caption='Import'/></mnu>");
  host_.Open(Sample("Shaft.SLDPRT"));
  long references = host_.References();
  long sourceReferences = source->references();

  EXPECT_EQ(S_OK, Click(u"Export"));
  ASSERT_EQ(1u, source->clicks().size());
  EXPECT_EQ(u"cax-42", source->clicks()[0].caxHandle);
  EXPECT_EQ(PathOf("Shaft.SLDPRT"), source->clicks()[0].documentPath);
  EXPECT_EQ(
      u"<mnu id=\"3\" caption=\"Export\" table=\"Feature\">\n"
      u"  <arg name=\"db\">x.db</arg>\n"
      u"</mnu>",
      source->clicks()[0].menuItem);

  // The path is the active document's at the time of the click.
  host_.Open(Sample("Gearbox.SLDASM"));
  references = host_.References();
  EXPECT_EQ(S_OK, Click(u"Import"));
  ASSERT_EQ(2u, source->clicks().size());
  EXPECT_EQ(PathOf("Gearbox.SLDASM"), source->clicks()[1].documentPath);
  EXPECT_EQ(u"<mnu id=\"4\" caption=\"Import\"/>", source->clicks()[1].menuItem);
  // Called directly by the caller, the callback does the same.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback101"));
  EXPECT_EQ(3u, source->clicks().size());

  // Nothing is kept from a click.
  EXPECT_EQ(references, host_.References());
  EXPECT_EQ(sourceReferences, source->references());
  // Clicks leave the error state as CreateMenu left it.
  EXPECT_EQ(-1, LongProperty(harbolt(), u"errNumber"));
  EXPECT_EQ(u"CHarbolt::CreateMenu():menuNode not exists",
            TextProperty(harbolt(), u"errDescription"));
}

TEST_F(ClickForwardingTest, TheElementIsFoundByItsNormalisedId) {
  ComPtr<CallerStandIn> source = NewEventSource();
  host_.Open(Sample("Shaft.SLDPRT"));

  // Blanks around the id do not matter.
  Menu(u"<mnu id=' 7 ' caption='Spaced'/>");
  EXPECT_EQ(S_OK, Click(u"Spaced"));
  EXPECT_EQ((std::vector<std::u16string>{u"<mnu id=\" 7 \" caption=\"Spaced\"/>"}),
            ClickedItems(*source.Get()));

  // Leading zeros do: the command's id is 7, and no element reads "7".
  Menu(u"<mnu id='007' caption='Padded'/>");
  EXPECT_EQ(S_FALSE, Click(u"Padded"));
  EXPECT_EQ(1u, source->clicks().size());

  // An entry without a number has id 0; it finds only an element whose id
  // reads 0.
  Menu(u"<mnu caption='NoId'/><mnu id='x' caption='Letters'/>");
  EXPECT_EQ(S_FALSE, Click(u"NoId"));
  EXPECT_EQ(S_FALSE, Click(u"Letters"));
  EXPECT_EQ(1u, source->clicks().size());
  Menu(u"<mnu caption='NoId'/><mnu id='-2' caption='Sub'><mnu id='0' caption='Zero'/></mnu>");
  EXPECT_EQ(S_OK, Click(u"NoId"));
  ASSERT_EQ(2u, source->clicks().size());
  EXPECT_EQ(u"<mnu id=\"0\" caption=\"Zero\"/>", source->clicks()[1].menuItem);

  // Ids need not be unique: the first element with the id is sent.
  Menu(u"<mnu id='5' caption='First'/><mnu id='5' caption='Second'/>");
  EXPECT_EQ(S_OK, Click(u"Second"));
  ASSERT_EQ(3u, source->clicks().size());
  EXPECT_EQ(u"<mnu id=\"5\" caption=\"First\"/>", source->clicks()[2].menuItem);
}

TEST_F(ClickForwardingTest, NothingIsSentWithoutADocumentOrForAnUnknownCommand) {
  ComPtr<CallerStandIn> source = NewEventSource();
  // No menu definition yet.
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback100"));
  Menu(u"<mnu id='1' caption='One'/><mnu id='2' caption='Two'/>");

  // No open document: the host's answer comes back, no event.
  EXPECT_EQ(S_OK, Click(u"One"));
  host_.FailCall("ISldWorks.ActiveDoc", E_ABORT);
  host_.Open(Sample("Shaft.SLDPRT"));
  EXPECT_EQ(E_ABORT, Click(u"Two"));
  host_.ClearFaults();
  EXPECT_TRUE(source->clicks().empty());

  // Numbers that the menu did not hand out.
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback102"));
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback150"));
  EXPECT_EQ(S_FALSE, Call(harbolt(), u"ToolbarCallback199"));
  EXPECT_TRUE(source->clicks().empty());
  EXPECT_EQ(S_OK, Call(harbolt(), u"ToolbarCallback101"));
  EXPECT_EQ(1u, source->clicks().size());
}

TEST_F(ClickForwardingTest, TheStatusOfTheLastCallComesBack) {
  Menu(u"<mnu id='1' caption='One'/>");
  host_.Open(Sample("Shaft.SLDPRT"));
  // Without an event source: the status of the host's path call.
  EXPECT_EQ(S_OK, Click(u"One"));
  host_.FailCall("IModelDoc2.GetPathName", E_ACCESSDENIED);
  EXPECT_EQ(E_ACCESSDENIED, Click(u"One"));
  host_.ClearFaults();

  // With one: the status of the event; a failure of the caller goes back to
  // the host and leaves the error state alone.
  ComPtr<CallerStandIn> source = NewEventSource();
  source->FailWith(E_ABORT);
  EXPECT_EQ(E_ABORT, Click(u"One"));
  EXPECT_EQ(1u, source->clicks().size());
  EXPECT_EQ(-1, LongProperty(harbolt(), u"errNumber"));
  source->FailWith(S_OK);

  // The handle is sent as stored, an empty one included.
  EXPECT_EQ(S_OK, Call(harbolt(), u"SetCaxHandle", {Arg(static_cast<const char16_t*>(nullptr))}));
  EXPECT_EQ(S_OK, Click(u"One"));
  ASSERT_EQ(2u, source->clicks().size());
  EXPECT_EQ(u"", source->clicks()[1].caxHandle);
}

}  // namespace
}  // namespace addin_test
