// The DOM services as a plug-in reaches them: through the session's object model.

#include <layra/IObjectModel.h>
#include <layra/ISession.h>
#include <layra/IXMLDOM.h>
#include <layra/StreamUtil.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class XmlDom : public testing::Test {
protected:
  InterfacePtr<IXMLDOMDocument> Parse(const std::string& text) {
    InterfacePtr<IObjectModel> model(GetExecutionContextSession(), UseDefaultIID());
    InterfacePtr<IPMUnknown> object(model->CreateInstance(kXMLDOMServicesBoss, IID_IXMLDOMPARSER));
    InterfacePtr<IXMLDOMServices> services(object, UseDefaultIID());
    EXPECT_TRUE(services);
    InterfacePtr<IPMStream> stream(
        StreamUtil::CreateMemoryStreamRead(std::vector<unsigned char>(text.begin(), text.end())));
    return InterfacePtr<IXMLDOMDocument>(services->ParseStream(stream, 0, 0));
  }

  std::unique_ptr<layra::Host> fHost = layra::Host::Create(layra::HostOptions{}).value();
};

TEST_F(XmlDom, NodesAttributesAndTextInDocumentOrder) {
  auto document =
      Parse("<?xml version=\"1.0\"?>\n<CONFIG><PREVQUALITY XSCALE=\"0.5\" STRING=\"-low\"/>"
            "\n<GRABURL>Zm9v</GRABURL></CONFIG>");
  ASSERT_TRUE(document);
  InterfacePtr<IXMLDOMNode> node(document->GetNode());
  InterfacePtr<IXMLDOMNode> root(node->GetFirstChild());
  EXPECT_EQ(root->GetNodeName().ToUTF8(), "CONFIG");
  std::vector<std::string> names;
  for (IXMLDOMNode* child : root->GetChildren()) {
    names.push_back(child->GetNodeName().ToUTF8());
    child->Release();
  }
  EXPECT_EQ(names, (std::vector<std::string>{"PREVQUALITY", "#text", "GRABURL"}));
  InterfacePtr<IXMLDOMNode> variant(root->GetFirstChild());
  ASSERT_EQ(variant->GetAttributeNames().size(), 2u);
  EXPECT_EQ(variant->GetAttributeNames()[1].ToUTF8(), "STRING");
  WideString value;
  EXPECT_TRUE(variant->GetAttributeValue(WideString("XSCALE"), value));
  EXPECT_EQ(value.ToUTF8(), "0.5");
  EXPECT_FALSE(variant->GetAttributeValue(WideString("xscale"), value));
  EXPECT_EQ(InterfacePtr<IXMLDOMNode>(variant->GetFirstChild()).get(), nullptr);
}

TEST_F(XmlDom, MalformedAndEntityDocumentsAreNull) {
  EXPECT_FALSE(Parse("<CONFIG><GRABURL></CONFIG>"));
  EXPECT_FALSE(Parse(""));
  EXPECT_FALSE(Parse("<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>"));
}

} // namespace
