#include "publish/ConfigTree.h"

#include <gtest/gtest.h>

namespace {

ConfigNode Node(const char* name, const char* text = "") {
  ConfigNode node;
  node.name = WideString(name);
  node.text = WideString(text);
  return node;
}

class ConfigTreeTest : public ::testing::Test {
protected:
  void SetUp() override {
    ConfigNode nested = Node("RULE", "nested");
    nested.children.push_back(Node("RULE", "grandchild"));
    root_ = Node("CONFIG");
    root_.children = {Node("RULE", "first"), Node("rule", "lower"), Node("OTHER"), nested,
                      Node("RULE", "last")};
  }

  static std::vector<std::string> Texts(const std::vector<ConfigNode>& nodes) {
    std::vector<std::string> texts;
    for (const ConfigNode& node : nodes) {
      texts.push_back(node.text.ToUTF8());
    }
    return texts;
  }

  ConfigNode root_;
};

TEST_F(ConfigTreeTest, FindChildrenKeepsFileOrderAndExactNames) {
  EXPECT_EQ(Texts(FindChildren(root_, WideString("RULE"))),
            (std::vector<std::string>{"first", "nested", "last"}));
  EXPECT_TRUE(FindChildren(root_, WideString("CONFIG")).empty());
  EXPECT_TRUE(FindChildren(root_, WideString("MISSING")).empty());
}

TEST_F(ConfigTreeTest, FindChildIsNodeItselfOrFirstDirectChild) {
  EXPECT_EQ(FindChild(root_, WideString("CONFIG")), &root_);
  EXPECT_EQ(FindChild(root_, WideString("RULE")), &root_.children[0]);
  EXPECT_EQ(FindChild(root_, WideString("rule")), &root_.children[1]);
  EXPECT_EQ(FindChild(root_, WideString("MISSING")), nullptr);
  EXPECT_EQ(FindChild(root_.children[2], WideString("RULE")), nullptr);
}

TEST(ConfigAttributeTest, FindsValueByExactName) {
  ConfigNode node = Node("SERVER");
  node.attributeNames = {WideString("host"), WideString("Port"), WideString("port")};
  node.attributeValues = {WideString("example.test"), WideString("21"), WideString("2121")};
  const auto port = GetAttribute(node, WideString("port"));
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->ToUTF8(), "2121");
  EXPECT_EQ(GetAttribute(node, WideString("HOST")), nullptr);
}

TEST(ConfigAttributeTest, NameWithoutValueCountsAsAbsent) {
  ConfigNode node = Node("SERVER");
  node.attributeNames = {WideString("host"), WideString("port")};
  node.attributeValues = {WideString("")};
  const auto host = GetAttribute(node, WideString("host"));
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(host->IsEmpty());
  EXPECT_EQ(GetAttribute(node, WideString("port")), nullptr);
}

} // namespace
