#include "common/kvx_xml.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/text.h"

namespace Dovbase {
namespace {

constexpr char16_t kNotParsedText[] = u"Document not parsed successfully. \n";

// Everything the parser could reach outside the given text stays off: no
// network, no external DTD (DTDLOAD, DTDVALID, DTDATTR are not set), no
// entity substitution (NOENT is not set, so external entities are never read
// and internal ones stay references in the tree), and HUGE is not set, so
// libxml2 keeps its limits on nesting depth, entity amplification and text
// sizes. The caller's text was UTF-16 and is handed over re-encoded as UTF-8,
// so any encoding declaration inside it is stale and must not be obeyed.
// Diagnostics are not printed: the module runs inside the host's process.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_IGNORE_ENC | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// XPath expressions carry caller text (table names); this bounds the work one
// evaluation may do. A lookup costs a few steps per element visited, so the
// budget covers documents far larger than any menu or dictionary.
constexpr unsigned long kXPathOperationLimit = 1000000;

// Entity references stay unexpanded in the tree, but reading an attribute
// value or an element's string value (XPath) expands them, and a small
// document can stand for a huge text: one large entity referenced many times.
// A document whose references expand to more than this many bytes in all is
// refused; it is also the ceiling libxml2 puts on a single text node.
constexpr size_t kEntityExpansionLimit = 10000000;
// libxml2 already refuses entities nested deeper than 40.
constexpr int kEntityNestingLimit = 64;

template <auto FreeFunction>
struct FreeWith {
  template <typename T>
  void operator()(T* object) const {
    FreeFunction(object);
  }
};

using ParserContext = std::unique_ptr<xmlParserCtxt, FreeWith<xmlFreeParserCtxt>>;
using XPathContext = std::unique_ptr<xmlXPathContext, FreeWith<xmlXPathFreeContext>>;
using XPathObject = std::unique_ptr<xmlXPathObject, FreeWith<xmlXPathFreeObject>>;
using Buffer = std::unique_ptr<xmlBuffer, FreeWith<xmlBufferFree>>;

// xmlFree is a function pointer variable, so it cannot be a template argument.
struct FreeXmlString {
  void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlString = std::unique_ptr<xmlChar, FreeXmlString>;

// Swallows a libxml2 error report. A template so that it fits the callback
// type of every libxml2 version (its error argument gained a const).
template <typename Error>
void DiscardError(void*, Error) {}

void DiscardMessage(void*, const char*, ...) {}

// Some libxml2 code paths (an unknown XPath function, for one) print through
// the thread's generic error function whatever the options and callbacks say.
// Routes them nowhere while the object lives, then puts the host's function
// back.
class GenericErrorsSilenced {
 public:
  GenericErrorsSilenced() : function_(xmlGenericError), context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, DiscardMessage);
  }
  GenericErrorsSilenced(const GenericErrorsSilenced&) = delete;
  GenericErrorsSilenced& operator=(const GenericErrorsSilenced&) = delete;
  ~GenericErrorsSilenced() { xmlSetGenericErrorFunc(context_, function_); }

 private:
  xmlGenericErrorFunc function_;
  void* context_;
};

const xmlChar* AsXml(const std::string& utf8) {
  return reinterpret_cast<const xmlChar*>(utf8.c_str());
}

std::u16string FromXml(const xmlChar* utf8) {
  if (utf8 == nullptr) return {};
  return platform::Utf8ToUtf16(reinterpret_cast<const char*>(utf8));
}

// libxml2 reads its strings up to the first zero byte, so a text with an
// embedded zero would silently mean something shorter.
bool HasZero(std::u16string_view text) { return text.find(u'\0') != std::u16string_view::npos; }

// The node after `node` in a pre-order walk of the subtree below `top`; null
// at the end. Descends into elements only: an entity reference's children
// point at the entity declaration, not at its own subtree.
const xmlNode* NextInWalk(const xmlNode* node, const xmlNode* top) {
  if (node->type == XML_ELEMENT_NODE && node->children != nullptr) return node->children;
  while (node != nullptr && node != top && node->next == nullptr) node = node->parent;
  if (node == nullptr || node == top) return nullptr;
  return node->next;
}

// Measures how many bytes of text the entity references of a document expand
// to, stopping just above kEntityExpansionLimit.
class ExpansionMeter {
 public:
  explicit ExpansionMeter(xmlDoc* doc) : doc_(doc) {}

  bool WithinLimit() {
    const auto* top = reinterpret_cast<const xmlNode*>(doc_);
    size_t total = 0;
    for (const xmlNode* node = top->children; node != nullptr && total <= kEntityExpansionLimit;
         node = NextInWalk(node, top)) {
      if (node->type == XML_ELEMENT_NODE) {
        for (const xmlAttr* property = node->properties; property != nullptr;
             property = property->next) {
          total = Add(total, ListSize(property->children, 0, false));
        }
      } else if (node->type == XML_ENTITY_REF_NODE) {
        total = Add(total, ReferenceSize(node, 0));
      }
    }
    return total <= kEntityExpansionLimit;
  }

 private:
  static constexpr size_t kOver = kEntityExpansionLimit + 1;
  static constexpr size_t kInProgress = static_cast<size_t>(-1);

  static size_t Add(size_t a, size_t b) { return std::min(a + std::min(b, kOver), kOver); }

  // The text that a node list expands to: its own text (when count_text) and
  // that of the entities it references, nested elements included.
  size_t ListSize(const xmlNode* first, int depth, bool count_text) {
    if (first == nullptr) return 0;
    size_t total = 0;
    for (const xmlNode* node = first; node != nullptr && total <= kEntityExpansionLimit;
         node = NextInWalk(node, first->parent)) {
      if (node->type == XML_ENTITY_REF_NODE) {
        total = Add(total, ReferenceSize(node, depth));
      } else if (count_text &&
                 (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE)) {
        total = Add(total, static_cast<size_t>(xmlStrlen(node->content)));
      }
    }
    return total;
  }

  size_t ReferenceSize(const xmlNode* reference, int depth) {
    const xmlEntity* entity = xmlGetDocEntity(doc_, reference->name);
    if (entity == nullptr) return 0;
    if (entity->etype == XML_INTERNAL_PREDEFINED_ENTITY) {
      return static_cast<size_t>(xmlStrlen(entity->content));
    }
    if (depth >= kEntityNestingLimit) return kOver;
    auto [known, inserted] = sizes_.try_emplace(entity, kInProgress);
    if (!inserted) return known->second == kInProgress ? kOver : known->second;
    const size_t size = ListSize(entity->children, depth + 1, true);
    sizes_[entity] = size;
    return size;
  }

  xmlDoc* doc_;
  std::unordered_map<const xmlEntity*, size_t> sizes_;
};

xmlDocPtr ParseUntrusted(const std::string& utf8) {
  if (utf8.size() > static_cast<size_t>(INT_MAX)) return nullptr;
  xmlInitParser();
  const GenericErrorsSilenced silenced;
  ParserContext context(xmlNewParserCtxt());
  if (!context || context->sax == nullptr) return nullptr;
  // A new context starts from the thread's parser defaults, which the host may
  // have changed for its own parsing (entity substitution, DTD loading,
  // validation), and libxml2 keeps those bits when the options below are
  // applied. Only the options below may count.
  context->options = 0;
  // Keeps this parse's errors out of any process-wide handler the host set.
  context->sax->serror = DiscardError;
  // On failure libxml2 frees the partial document and returns null.
  return xmlCtxtReadMemory(context.get(), utf8.data(), static_cast<int>(utf8.size()), nullptr,
                           "UTF-8", kParseOptions);
}

// Without a DTD there is no entity to expand.
bool ExpansionAcceptable(xmlDoc* doc) {
  return doc->intSubset == nullptr || ExpansionMeter(doc).WithinLimit();
}

}  // namespace

// ---------------------------------------------------------------------------
// XmlDocument

void XmlDocument::FreeDoc::operator()(_xmlDoc* doc) const { xmlFreeDoc(doc); }

XmlDocument::~XmlDocument() {
  free();
  errorText_.clear();
}

int XmlDocument::parse(std::u16string_view text) {
  // The text ends at its first zero character, as a zero-terminated string
  // does (a caller's string may carry its terminator inside its length).
  const std::string utf8 = platform::Utf16ToUtf8(text.substr(0, text.find(u'\0')));
  free();
  _p_doc.reset(ParseUntrusted(utf8));
  if (_p_doc && !ExpansionAcceptable(_p_doc.get())) _p_doc.reset();
  if (!_p_doc) {
    errorFlag_ = 1;
    errorText_ = kNotParsedText;
    return 1;
  }
  return 0;
}

void XmlDocument::free() { _p_doc.reset(); }

XmlElement XmlDocument::selectFirst(std::u16string_view xpath) const {
  if (!_p_doc || HasZero(xpath)) return {};
  XPathContext context(xmlXPathNewContext(_p_doc.get()));
  if (!context) return {};
  context->node = reinterpret_cast<xmlNodePtr>(_p_doc.get());
  context->error = DiscardError;
  context->opLimit = kXPathOperationLimit;

  const std::string expression = platform::Utf16ToUtf8(xpath);
  XPathObject result;
  {
    const GenericErrorsSilenced silenced;
    result.reset(xmlXPathEvalExpression(AsXml(expression), context.get()));
  }
  context.reset();
  if (!result || result->type != XPATH_NODESET) return {};
  const xmlNodeSet* nodes = result->nodesetval;
  if (nodes == nullptr || nodes->nodeNr <= 0 || nodes->nodeTab == nullptr) return {};
  xmlNodePtr first = nodes->nodeTab[0];
  if (first == nullptr || first->type != XML_ELEMENT_NODE) return {};
  return XmlElement(this, first);
}

// ---------------------------------------------------------------------------
// XmlElement

std::u16string XmlElement::name() const {
  if (isEmpty()) return {};
  return FromXml(_p_node->name);
}

std::u16string XmlElement::attribute(std::u16string_view name) const {
  if (isEmpty() || HasZero(name)) return {};
  const std::string wanted = platform::Utf16ToUtf8(name);
  // Only the element's own attribute list counts: xmlHasProp and xmlGetProp
  // would also answer with a default that the DTD declares.
  for (const xmlAttr* property = _p_node->properties; property != nullptr;
       property = property->next) {
    if (xmlStrcmp(property->name, AsXml(wanted)) == 0) {
      XmlString value(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(property)));
      return FromXml(value.get());
    }
  }
  return {};
}

int XmlElement::childCount() const {
  if (isEmpty()) return 0;
  const unsigned long count = xmlChildElementCount(_p_node);
  return count > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

XmlElement XmlElement::child(int index) const {
  if (isEmpty() || index < 0) return {};
  xmlNodePtr node = xmlFirstElementChild(_p_node);
  for (int step = 0; node != nullptr && step < index; ++step) node = xmlNextElementSibling(node);
  if (node == nullptr) return {};
  return XmlElement(_p_document, node);
}

XmlElement XmlElement::firstChild() const {
  if (isEmpty()) return {};
  xmlNodePtr node = xmlFirstElementChild(_p_node);
  if (node == nullptr) return {};
  return XmlElement(_p_document, node);
}

XmlElement XmlElement::nextSibling() const {
  if (isEmpty()) return {};
  xmlNodePtr node = xmlNextElementSibling(_p_node);
  if (node == nullptr) return {};
  return XmlElement(_p_document, node);
}

std::u16string XmlElement::dump() const {
  if (isEmpty()) return {};
  Buffer buffer(xmlBufferCreate());
  if (!buffer) return {};
  if (xmlNodeDump(buffer.get(), _p_document->_p_doc.get(), _p_node, 0, 1) < 0) return {};
  const auto* content = reinterpret_cast<const char*>(xmlBufferContent(buffer.get()));
  if (content == nullptr) return {};
  return platform::Utf8ToUtf16(
      std::string_view(content, static_cast<size_t>(xmlBufferLength(buffer.get()))));
}

}  // namespace Dovbase
