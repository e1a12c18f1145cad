// The XML document layer with XPath selection: a document from the caller
// (a menu definition or a data dictionary) and an expression to select in
// it. The input's first line is the expression, the rest the document.
#include <string>
#include <string_view>
#include <vector>

#include "common/kvx_xml.h"
#include "fuzz/fuzz_target.h"
#include "platform/text.h"

namespace {

using Dovbase::XmlDocument;
using Dovbase::XmlElement;

// Reads every element below top, as the menu and dictionary readers do,
// visiting at most a few thousand.
void Walk(const XmlElement& top) {
  std::vector<XmlElement> open{top};
  for (int visits = 0; !open.empty() && visits < 4000; ++visits) {
    XmlElement element = open.back();
    open.pop_back();
    fuzz::FuzzCheck(!element.isEmpty(), "an empty handle in the walk");
    element.name();
    element.attribute(u"name");
    element.attribute(u"id");
    element.attribute(u"caption");
    const int count = element.childCount();
    fuzz::FuzzCheck(element.child(-1).isEmpty(), "child(-1) is not empty");
    fuzz::FuzzCheck(element.child(count).isEmpty(), "child(count) is not empty");
    int seen = 0;
    for (XmlElement child = element.firstChild(); !child.isEmpty(); child = child.nextSibling()) {
      if (seen < 64) open.push_back(child);
      ++seen;
    }
    fuzz::FuzzCheck(seen == count, "childCount differs from the children walked");
  }
}

}  // namespace

HARBOLT_FUZZ_TARGET(xml) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::u16string xpath =
      platform::Utf8ToUtf16(newline == std::string_view::npos ? "" : input.substr(0, newline));
  const std::u16string text =
      platform::Utf8ToUtf16(newline == std::string_view::npos ? input : input.substr(newline + 1));

  XmlDocument document;
  const int parsed = document.parse(text);
  fuzz::FuzzCheck(parsed == 0 || parsed == 1, "parse gave neither 0 nor 1");
  fuzz::FuzzCheck(document.isParsed() == (parsed == 0), "parse result and state differ");
  if (parsed != 0) {
    fuzz::FuzzCheck(document.errorFlag() == 1, "a failed parse left no error flag");
    fuzz::FuzzCheck(document.selectFirst(u"/*").isEmpty(), "selection in no document");
    return 0;
  }
  // The caller's expression, then the expressions the program itself uses.
  for (const std::u16string_view expression :
       {std::u16string_view(xpath), std::u16string_view(u"/mnus"),
        std::u16string_view(u"/dd/tabs/tab[@name='Feature']"),
        std::u16string_view(u"//mnu[normalize-space(@id)='7']"), std::u16string_view(u"/*")}) {
    const XmlElement found = document.selectFirst(expression);
    if (found.isEmpty()) continue;
    fuzz::FuzzCheck(!found.dump().empty(), "an element dumps as nothing");
    Walk(found);
  }
  return 0;
}
