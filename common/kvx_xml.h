// The XML document layer: one parsed XML document (XmlDocument) and handles on
// its elements (XmlElement). Texts cross this interface as UTF-16; libxml2 sees
// UTF-8 only inside kvx_xml.cpp, and everything libxml2 allocates is freed there.
//
// The documents come from the caller and are not trusted: parsing never
// touches the network or the file system (no external DTD or entity is
// loaded), leaves entity references unexpanded in the tree, and prints
// nothing to the process's stderr. Documents nested deeper than 256 levels or
// whose entity references would expand to more than 10 MB of text are parse
// failures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct _xmlDoc;
struct _xmlNode;

namespace Dovbase {

class XmlDocument;

// A handle on one element of a parsed XmlDocument, or an empty handle. A value
// type that owns nothing: it stays valid only while its document holds the
// same parse (a new parse, free() or the document's end invalidates it).
// Every handle is either empty or on an element node; text, comment and
// processing-instruction nodes are never exposed.
//
// Reads through an empty handle are harmless: they give the empty string, 0
// or an empty handle.
class XmlElement {
 public:
  // An empty handle.
  XmlElement() = default;

  bool isEmpty() const { return _p_node == nullptr; }

  // The element's name as stored (the local name; a namespace prefix is not
  // resolved).
  std::u16string name() const;

  // The value of the attribute named exactly `name` (case-sensitive) that the
  // element itself carries; the empty string when it carries none. A default
  // that only a DTD declares is not read.
  std::u16string attribute(std::u16string_view name) const;

  // The number of element children.
  int childCount() const;

  // The element child at the 0-based position `index` among the element
  // children, in document order; empty when `index` is negative or too large.
  XmlElement child(int index) const;
  XmlElement firstChild() const;
  // The next element sibling in document order; empty when there is none.
  XmlElement nextSibling() const;

  // The element and its whole subtree as XML text, formatted (indented) from
  // level 0. Empty for an empty handle.
  std::u16string dump() const;

 private:
  friend class XmlDocument;
  XmlElement(const XmlDocument* document, _xmlNode* node) : _p_document(document), _p_node(node) {}

  const XmlDocument* _p_document = nullptr;
  _xmlNode* _p_node = nullptr;
};

// Owns at most one parsed libxml2 document. Not copyable or movable: element
// handles point at the object.
class XmlDocument {
 public:
  XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;
  // Frees the parsed document; the error text is emptied.
  ~XmlDocument();

  // Frees the document held, then parses `text`. Returns 0 on success and 1
  // when the text is not a well-formed document (or is refused as hostile, see
  // above); a failure leaves no document, sets errorFlag() to 1 and
  // errorText() to "Document not parsed successfully. \n". A later successful
  // parse does not reset them. The text ends at its first zero character, if
  // any. An encoding declaration in the text is ignored: the text is already
  // decoded.
  int parse(std::u16string_view text);

  // Frees the document held, if any. The error state is kept.
  void free();

  bool isParsed() const { return _p_doc != nullptr; }

  // Evaluates the XPath 1.0 expression against the whole document (the
  // document node is the context node) and returns a handle on the first node
  // of the result in document order. Empty when nothing is parsed, the
  // expression is invalid (a zero character makes it so) or exceeds the
  // evaluation budget (a million steps; a lookup takes a few per element
  // visited), its result is not a node set, the set is empty, or its first
  // node is not an element.
  XmlElement selectFirst(std::u16string_view xpath) const;

  // 0 until a parse fails, then 1 for the rest of the object's life.
  int32_t errorFlag() const { return errorFlag_; }
  // Empty until a parse fails, then the failure text.
  const std::u16string& errorText() const { return errorText_; }

 private:
  friend class XmlElement;
  struct FreeDoc {
    void operator()(_xmlDoc* doc) const;
  };

  std::unique_ptr<_xmlDoc, FreeDoc> _p_doc;
  int32_t errorFlag_ = 0;
  std::u16string errorText_;
};

}  // namespace Dovbase
