#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlNode;

namespace layra::xml {

struct XmlAttribute {
  std::string name;
  std::string value;
};

// A non-owning view of one node, valid while its XmlDocument lives. A default-constructed view is
// null, which is what firstChild() of a childless node returns; every accessor of a null view
// answers empty or false. Names come prefixed ("ns:item") as written in the document.
class XmlNode {
public:
  XmlNode() = default;

  explicit operator bool() const { return fNode != nullptr; }

  // Element name, or the DOM's "#text", "#cdata-section", "#comment" and "#document".
  std::string name() const;
  // Content of text, CDATA, comment and processing-instruction nodes; empty for the rest.
  std::string value() const;
  XmlNode firstChild() const;
  // In document order, text nodes included.
  std::vector<XmlNode> children() const;
  // In document order, namespace declarations first since the parser keeps them apart.
  std::vector<XmlAttribute> attributes() const;
  std::optional<std::string> attribute(std::string_view name) const;
  bool isElement() const;
  // True for CDATA sections too, as they are text in the DOM.
  bool isText() const;
  bool isComment() const;
  // An entity the parser left unexpanded, as it never loads external definitions.
  bool isEntityReference() const;

private:
  friend class XmlDocument;
  explicit XmlNode(_xmlNode* node) : fNode(node) {}

  _xmlNode* fNode = nullptr;
};

} // namespace layra::xml
