#include "CapturedOutput.h"

#include "publish/DocumentNameRules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>

namespace {

const std::string kName = "08_12_05_005-008.indd";
const char* const kNamePattern = "\\d\\d_\\d\\d_\\d\\d_\\d{3}-\\d{3}\\.indd";

ConfigNode Element(const char* name, const char* text) {
  ConfigNode node;
  node.name = WideString(name);
  node.text = WideString(text);
  return node;
}

ConfigNode Parent(const char* name, std::initializer_list<ConfigNode> children) {
  ConfigNode node;
  node.name = WideString(name);
  node.children = children;
  return node;
}

ConfigNode Rule(std::initializer_list<ConfigNode> children) {
  return Parent("DOCNAME", children);
}

ConfigNode Configuration(std::initializer_list<ConfigNode> rules) {
  return Parent("CONFIG", rules);
}

TEST(ParseNameWithRulesTest, ReadsEveryFieldOfMatchingRule) {
  const ConfigNode root = Configuration({Rule({
      Element("REGEX", kNamePattern),
      Element("DAY", "(\\d\\d)_"),
      Element("MONTH", "\\d\\d_(\\d\\d)_"),
      Element("MINIYEAR", "\\d\\d_\\d\\d_(\\d\\d)"),
      Element("PAGE", "\\d\\d_\\d\\d_\\d\\d_(\\d{3})"),
      Element("PAGE", "\\d\\d_\\d\\d_\\d\\d_\\d{3}-(\\d{3})"),
  })});
  ParsedNameFields fields;
  ASSERT_TRUE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(fields.day, "08");
  EXPECT_EQ(fields.month, "12");
  EXPECT_EQ(fields.miniYear, "05");
  EXPECT_EQ(fields.firstPage, "005");
  EXPECT_EQ(fields.lastPage, "008");
}

TEST(ParseNameWithRulesTest, FirstMatchingRuleWins) {
  const ConfigNode root = Configuration({
      Rule({Element("REGEX", "zz.*"), Element("DAY", "zz(\\d)")}),
      Rule({Element("REGEX", kNamePattern), Element("DAY", "(\\d\\d)")}),
      Rule({Element("REGEX", ".*"), Element("DAY", "\\d\\d_(\\d\\d)")}),
  });
  ParsedNameFields fields;
  ASSERT_TRUE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(fields.day, "08");
}

TEST(ParseNameWithRulesTest, OnlyDocnameRulesWithRegexTakePart) {
  const ConfigNode root = Configuration({
      Rule({Element("DAY", "(\\d\\d)")}),
      Parent("docname", {Element("REGEX", ".*"), Element("DAY", "\\d\\d_(\\d\\d)")}),
      Parent("OTHER", {Element("REGEX", ".*"), Element("DAY", "\\d\\d_(\\d\\d)")}),
  });
  ParsedNameFields fields;
  EXPECT_FALSE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(fields.day, "");
  EXPECT_FALSE(ParseNameWithRules(ConfigNode{}, kName, fields));
}

TEST(ParseNameWithRulesTest, RegexMatchingOnlyStartOfNameDoesNotMatch) {
  const ConfigNode root =
      Configuration({Rule({Element("REGEX", "\\d\\d_\\d\\d"), Element("DAY", "(\\d\\d)")})});
  ParsedNameFields fields;
  EXPECT_FALSE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(fields.day, "");
}

TEST(ParseNameWithRulesTest, UnreadableFieldKeepsEarlierValue) {
  const ConfigNode root = Configuration(
      {Rule({Element("REGEX", kNamePattern), Element("DAY", "zz(\\d)"), Element("MONTH", "")})});
  ParsedNameFields fields{"31", "01", "99", "1", "2"};
  CapturedOutput output;
  ASSERT_TRUE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(fields.day, "31");
  EXPECT_EQ(fields.month, "01");
  EXPECT_EQ(fields.miniYear, "99");
  EXPECT_NE(output.Take().find("Could not get argument no 1 from string \"" + kName +
                               "\" (regex = 'zz(\\d).*').\n"),
            std::string::npos);
}

class PageRulesTest : public ::testing::Test {
protected:
  ParsedNameFields Parse(std::initializer_list<ConfigNode> pageElements) {
    ConfigNode rule = Rule({Element("REGEX", kNamePattern)});
    rule.children.insert(rule.children.end(), pageElements);
    ParsedNameFields fields;
    EXPECT_TRUE(ParseNameWithRules(Configuration({rule}), kName, fields));
    return fields;
  }

  const ConfigNode firstPage_ = Element("PAGE", "\\d\\d_\\d\\d_\\d\\d_(\\d{3})");
  const ConfigNode secondPage_ = Element("PAGE", "\\d\\d_\\d\\d_\\d\\d_\\d{3}-(\\d{3})");
  const ConfigNode thirdPage_ = Element("PAGE", "\\d\\d_(\\d\\d)");
  const ConfigNode extraPage_ = Element("XPAGE", "\\d\\d_\\d\\d_(\\d\\d)");
};

TEST_F(PageRulesTest, SinglePageLeavesLastPageEmpty) {
  const ParsedNameFields fields = Parse({firstPage_});
  EXPECT_EQ(fields.firstPage, "005");
  EXPECT_EQ(fields.lastPage, "");
}

TEST_F(PageRulesTest, SecondPageGivesLastPageAndFurtherOnesAreIgnored) {
  const ParsedNameFields fields = Parse({firstPage_, secondPage_, thirdPage_});
  EXPECT_EQ(fields.firstPage, "005");
  EXPECT_EQ(fields.lastPage, "008");
}

TEST_F(PageRulesTest, ExtraPageOverridesSecondPageWherever) {
  EXPECT_EQ(Parse({firstPage_, secondPage_, extraPage_}).lastPage, "05");
  EXPECT_EQ(Parse({extraPage_, firstPage_, secondPage_}).lastPage, "05");
  const ParsedNameFields fields = Parse({extraPage_});
  EXPECT_EQ(fields.firstPage, "");
  EXPECT_EQ(fields.lastPage, "05");
}

TEST(ParseNameWithRulesTest, ObjectIsReported) {
  const ConfigNode root = Configuration({Rule({
      Element("REGEX", kNamePattern),
      Element("CALWEEK", "(\\d\\d)"),
      Element("OBJECT", "\\d\\d_\\d\\d_\\d\\d_(\\d{3}-\\d{3})"),
      Element("INFO", "(\\d\\d)"),
  })});
  ParsedNameFields fields;
  CapturedOutput output;
  ASSERT_TRUE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(output.Take(), "object = [005-008]\n");
}

TEST(ParseNameWithRulesTest, NonAsciiPatternsMatchUtf8Names) {
  const ConfigNode root = Configuration({Rule(
      {Element("REGEX", "Ausgabe_März_\\d\\d\\.indd"), Element("DAY", "Ausgabe_März_(\\d\\d)")})});
  ParsedNameFields fields;
  ASSERT_TRUE(ParseNameWithRules(root, "Ausgabe_März_17.indd", fields));
  EXPECT_EQ(fields.day, "17");
}

TEST(ParseNameWithRulesTest, BrokenAndCatastrophicRulesAreSkipped) {
  const std::string name(40, 'x');
  const ConfigNode root = Configuration({
      Rule({Element("REGEX", "(x"), Element("DAY", "(x)")}),
      Rule({Element("REGEX", "(x+x+)+y"), Element("DAY", "(x)")}),
      Rule({Element("REGEX", "x+"), Element("DAY", "(xx)")}),
  });
  const auto start = std::chrono::steady_clock::now();
  ParsedNameFields fields;
  CapturedOutput output;
  ASSERT_TRUE(ParseNameWithRules(root, name, fields));
  EXPECT_EQ(fields.day, "xx");
  const std::string printed = output.Take();
  EXPECT_EQ(printed.rfind("Exception has occured for regex \"(x\" in string \"" + name + "\"", 0),
            0u)
      << printed;
  EXPECT_NE(printed.find("Exception has occured for regex \"(x+x+)+y\""), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ParseNameWithRulesTest, CatastrophicFieldPatternKeepsEarlierValue) {
  const std::string name(40, 'x');
  const ConfigNode root =
      Configuration({Rule({Element("REGEX", "x+"), Element("DAY", "(x+x+)+y")})});
  ParsedNameFields fields{"31", "", "", "", ""};
  CapturedOutput output;
  ASSERT_TRUE(ParseNameWithRules(root, name, fields));
  EXPECT_EQ(fields.day, "31");
}

} // namespace
