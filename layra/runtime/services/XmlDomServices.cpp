#include "XmlDomServices.h"

#include "../model/RefCounted.h"

#include <layra/IPMStream.h>

#include <xml/XmlDocument.h>

#include <memory>

namespace layra {
namespace {

using SharedDocument = std::shared_ptr<const xml::XmlDocument>;

// Nodes keep their document alive, so a node outlives the document interface it came from.
class DomNode final : public RefCounted<IXMLDOMNode> {
public:
  DomNode(SharedDocument document, xml::XmlNode node)
      : fDocument(std::move(document)), fNode(node) {}

  WideString GetNodeName() const override { return WideString(fNode.name()); }
  bool IsElement() const override { return fNode.isElement(); }
  WideString GetNodeValue() const override { return WideString(fNode.value()); }
  IXMLDOMNode* GetFirstChild() const override {
    xml::XmlNode child = fNode.firstChild();
    return child ? new DomNode(fDocument, child) : nullptr;
  }
  std::vector<IXMLDOMNode*> GetChildren() const override {
    std::vector<IXMLDOMNode*> children;
    for (const xml::XmlNode& child : fNode.children())
      children.push_back(new DomNode(fDocument, child));
    return children;
  }
  std::vector<WideString> GetAttributeNames() const override {
    std::vector<WideString> names;
    for (const xml::XmlAttribute& attribute : fNode.attributes())
      names.emplace_back(attribute.name);
    return names;
  }
  bool GetAttributeValue(const WideString& name, WideString& value) const override {
    std::optional<std::string> found = fNode.attribute(name.ToUTF8());
    if (!found)
      return false;
    value = WideString(*found);
    return true;
  }

private:
  SharedDocument fDocument;
  xml::XmlNode fNode;
};

class DomDocument final : public RefCounted<IXMLDOMDocument> {
public:
  explicit DomDocument(SharedDocument document) : fDocument(std::move(document)) {}
  IXMLDOMNode* GetNode() const override { return new DomNode(fDocument, fDocument->root()); }

private:
  SharedDocument fDocument;
};

std::vector<unsigned char> ReadAll(IPMStream* stream) {
  std::vector<unsigned char> bytes;
  unsigned char chunk[8192];
  while (stream->IsGood()) {
    const std::size_t count = stream->XferByte(chunk, sizeof chunk);
    bytes.insert(bytes.end(), chunk, chunk + count);
  }
  return bytes;
}

} // namespace

IXMLDOMDocument* XmlDomParser::ParseBytes(const std::vector<unsigned char>& bytes) {
  fLastError.clear();
  std::unique_ptr<xml::XmlDocument> document =
      xml::XmlDocument::Parse(bytes.data(), bytes.size(), &fLastError);
  if (!document)
    return nullptr;
  return new DomDocument(SharedDocument(std::move(document)));
}

IXMLDOMDocument* XmlDomServices::ParseStream(IPMStream* stream, std::int32_t, std::int32_t) {
  if (!stream || !stream->IsReading())
    return nullptr;
  InterfacePtr<IXMLDOMParser> parser(this, UseDefaultIID());
  if (!parser)
    return nullptr;
  IXMLDOMDocument* document = parser->ParseBytes(ReadAll(stream));
  // A stream's caller learns only that the parse failed; why is the host's to report.
  if (!document)
    xml::ReportParserMessage(parser->LastError());
  return document;
}

} // namespace layra
