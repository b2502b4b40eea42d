#include "publish/ConfigTree.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigTreeTest, LooksUpByExactName) {
  ConfigNode root{{WideString("Port"), WideString("port"), WideString("host")},
                  {WideString("21"), WideString("2121")},
                  WideString("CONFIG"),
                  {},
                  {}};
  root.children = {root, root};
  root.children[1].name = WideString("RULE");

  EXPECT_EQ(FindChild(root, WideString("CONFIG")), &root);
  EXPECT_EQ(FindChild(root, WideString("RULE")), &root.children[1]);
  EXPECT_EQ(FindChild(root.children[1], WideString("CONFIG")), nullptr);
  EXPECT_EQ(FindChildren(root, WideString("CONFIG")).size(), 1u);

  const auto port = GetAttribute(root, WideString("port"));
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->ToUTF8(), "2121");
  EXPECT_EQ(GetAttribute(root, WideString("PORT")), nullptr);
  // A name without a value, as a truncated file can leave it.
  EXPECT_EQ(GetAttribute(root, WideString("host")), nullptr);
}

} // namespace
