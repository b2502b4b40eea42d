#include <xml/XmlNode.h>

#include <CHandles.h>

#include <libxml/tree.h>
#include <libxml/xmlmemory.h>

#include <memory>

namespace layra::xml {
namespace {

std::string ToString(const xmlChar* text) {
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

std::string QualifiedName(const xmlNs* ns, const xmlChar* localName) {
  if (ns == nullptr || ns->prefix == nullptr) {
    return ToString(localName);
  }
  return ToString(ns->prefix) + ":" + ToString(localName);
}

std::string NamespaceDeclarationName(const xmlNs* declaration) {
  if (declaration->prefix == nullptr) {
    return "xmlns";
  }
  return "xmlns:" + ToString(declaration->prefix);
}

std::string AttributeValue(xmlAttr* attribute) {
  const XmlStringHandle value(xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute)));
  return ToString(value.get());
}

} // namespace

std::string XmlNode::name() const {
  if (fNode == nullptr) {
    return {};
  }
  switch (fNode->type) {
  case XML_ELEMENT_NODE:
    return QualifiedName(fNode->ns, fNode->name);
  case XML_TEXT_NODE:
    return "#text";
  case XML_CDATA_SECTION_NODE:
    return "#cdata-section";
  case XML_COMMENT_NODE:
    return "#comment";
  case XML_DOCUMENT_NODE:
    return "#document";
  default:
    return ToString(fNode->name);
  }
}

std::string XmlNode::value() const {
  if (fNode == nullptr) {
    return {};
  }
  switch (fNode->type) {
  case XML_TEXT_NODE:
  case XML_CDATA_SECTION_NODE:
  case XML_COMMENT_NODE:
  case XML_PI_NODE:
    return ToString(fNode->content);
  default:
    return {};
  }
}

XmlNode XmlNode::firstChild() const {
  return fNode == nullptr ? XmlNode() : XmlNode(fNode->children);
}

std::vector<XmlNode> XmlNode::children() const {
  std::vector<XmlNode> result;
  for (XmlNode child = firstChild(); child; child = XmlNode(child.fNode->next)) {
    result.push_back(child);
  }
  return result;
}

std::vector<XmlAttribute> XmlNode::attributes() const {
  std::vector<XmlAttribute> result;
  if (!isElement()) {
    return result;
  }
  for (const xmlNs* declaration = fNode->nsDef; declaration != nullptr;
       declaration = declaration->next) {
    result.push_back({NamespaceDeclarationName(declaration), ToString(declaration->href)});
  }
  for (xmlAttr* attribute = fNode->properties; attribute != nullptr; attribute = attribute->next) {
    result.push_back({QualifiedName(attribute->ns, attribute->name), AttributeValue(attribute)});
  }
  return result;
}

std::optional<std::string> XmlNode::attribute(std::string_view name) const {
  for (XmlAttribute& candidate : attributes()) {
    if (candidate.name == name) {
      return std::move(candidate.value);
    }
  }
  return std::nullopt;
}

bool XmlNode::isElement() const {
  return fNode != nullptr && fNode->type == XML_ELEMENT_NODE;
}

bool XmlNode::isText() const {
  return fNode != nullptr &&
         (fNode->type == XML_TEXT_NODE || fNode->type == XML_CDATA_SECTION_NODE);
}

bool XmlNode::isComment() const {
  return fNode != nullptr && fNode->type == XML_COMMENT_NODE;
}

bool XmlNode::isEntityReference() const {
  return fNode != nullptr && fNode->type == XML_ENTITY_REF_NODE;
}

} // namespace layra::xml
