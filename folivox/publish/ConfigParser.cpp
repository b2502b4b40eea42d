#include "publish/ConfigParser.h"

#include "base/Alerts.h"
#include "base/Trace.h"

#include <layra/IObjectModel.h>
#include <layra/ISession.h>
#include <layra/IXMLDOM.h>
#include <layra/StreamUtil.h>

#include <vector>

namespace {

// Attribute names are read back in the spelling the file may have used for its value.
bool ReadAttributeValue(const IXMLDOMNode& domNode, const WideString& name, WideString& value) {
  const PMString spelled(name);
  return domNode.GetAttributeValue(name, value) ||
         domNode.GetAttributeValue(spelled.ToLower().GetWString(), value) ||
         domNode.GetAttributeValue(spelled.ToUpper().GetWString(), value);
}

void ReadAttributes(ConfigNode& node, const IXMLDOMNode& domNode) {
  node.attributeNames.clear();
  node.attributeValues.clear();
  for (const WideString& name : domNode.GetAttributeNames()) {
    WideString value;
    if (name.IsEmpty() || !ReadAttributeValue(domNode, name, value))
      continue;
    node.attributeNames.push_back(name);
    node.attributeValues.push_back(value);
  }
}

WideString FirstChildValue(const IXMLDOMNode& domNode) {
  InterfacePtr<IXMLDOMNode> first(domNode.GetFirstChild());
  return first ? first->GetNodeValue() : WideString();
}

InterfacePtr<IXMLDOMServices> QueryDomServices() {
  InterfacePtr<IObjectModel> model(GetExecutionContextSession(), UseDefaultIID());
  if (!model)
    return {};
  return InterfacePtr<IXMLDOMServices>(static_cast<IXMLDOMServices*>(
      model->CreateInstance(kXMLDOMServicesBoss, IID_IXMLDOMSERVICES)));
}

// A comment, a doctype or a processing instruction may come before the element the file is
// about.
InterfacePtr<IXMLDOMNode> FirstElement(const IXMLDOMNode& documentNode) {
  const std::vector<IXMLDOMNode*> referenced = documentNode.GetChildren();
  std::vector<InterfacePtr<IXMLDOMNode>> children(referenced.begin(), referenced.end());
  for (InterfacePtr<IXMLDOMNode>& child : children) {
    if (child->IsElement())
      return std::move(child);
  }
  return InterfacePtr<IXMLDOMNode>();
}

} // namespace

void BuildNode(ConfigNode& node, const IXMLDOMNode& domNode) {
  ReadAttributes(node, domNode);
  node.name = domNode.GetNodeName();
  node.text = FirstChildValue(domNode);
  node.children.clear();
  // Every child comes with a reference; all are adopted before any can be left behind.
  const std::vector<IXMLDOMNode*> referenced = domNode.GetChildren();
  const std::vector<InterfacePtr<IXMLDOMNode>> children(referenced.begin(), referenced.end());
  for (const InterfacePtr<IXMLDOMNode>& child : children) {
    ConfigNode built;
    BuildNode(built, *child);
    node.children.push_back(std::move(built));
  }
}

std::unique_ptr<ConfigNode> ParseConfigXML(IPMStream* stream) {
  InterfacePtr<IXMLDOMServices> services = QueryDomServices();
  if (!services) {
    folivox::ShowPlainReport("domServices error", kNoIcon);
    return nullptr;
  }
  InterfacePtr<IXMLDOMDocument> document(services->ParseStream(stream, 0, 0));
  if (!document) {
    folivox::Trace("Could not create IIDXMLDOMDocument. Cannot proceed.\n");
    return nullptr;
  }
  InterfacePtr<IXMLDOMNode> documentNode(document->GetNode());
  if (!documentNode) {
    folivox::Trace("Could not create IIDXMLDOMNode. Cannot proceed.\n");
    return nullptr;
  }
  InterfacePtr<IXMLDOMNode> first = FirstElement(*documentNode);
  if (!first) {
    folivox::Trace("Could not get the first child of XML structure. Cannot continue.\n");
    return nullptr;
  }
  auto root = std::make_unique<ConfigNode>();
  BuildNode(*root, *first);
  return root;
}

std::unique_ptr<ConfigNode> ParseConfigText(const std::string& text) {
  const InterfacePtr<IPMStream> stream(
      StreamUtil::CreateMemoryStreamRead(std::vector<unsigned char>(text.begin(), text.end())));
  return ParseConfigXML(stream);
}
