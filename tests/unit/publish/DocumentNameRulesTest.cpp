#include "CapturedOutput.h"

#include "publish/DocumentNameRules.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using folivox::test::CapturedOutput;

const std::string kName = "08_12_05_005-008.lyd";
const char* const kNamePattern = "\\d\\d_\\d\\d_\\d\\d_\\d{3}-\\d{3}\\.lyd";

ConfigNode Node(const char* name, const char* text, std::initializer_list<ConfigNode> children) {
  return ConfigNode{{}, {}, WideString(name), WideString(text), children};
}

ConfigNode Element(const char* name, const char* text) {
  return Node(name, text, {});
}

ConfigNode Rule(std::initializer_list<ConfigNode> children) {
  return Node("DOCNAME", "", children);
}

ConfigNode Config(std::initializer_list<ConfigNode> rules) {
  return Node("CONFIG", "", rules);
}

TEST(ParseNameWithRulesTest, FirstDocnameRuleWithMatchingRegexWins) {
  const ConfigNode root = Config({
      Rule({Element("DAY", "(\\d\\d)")}),
      Node("OTHER", "", {Element("REGEX", ".*"), Element("DAY", "\\d\\d_(\\d\\d)")}),
      Rule({Element("REGEX", "\\d\\d_\\d\\d"), Element("DAY", "\\d\\d_(\\d\\d)")}),
      Rule({Element("REGEX", kNamePattern), Element("DAY", "(\\d\\d)"),
            Element("MONTH", "\\d\\d_(\\d\\d)"), Element("MINIYEAR", "\\d\\d_\\d\\d_(\\d\\d)")}),
      Rule({Element("REGEX", "\\d.*"), Element("DAY", "\\d\\d_(\\d\\d)")}),
  });
  ParsedNameFields fields;
  ASSERT_TRUE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(fields.day, "08");
  EXPECT_EQ(fields.month, "12");
  EXPECT_EQ(fields.miniYear, "05");
  EXPECT_FALSE(ParseNameWithRules(root, "other.lyd", fields));
}

TEST(ParseNameWithRulesTest, UnreadableFieldKeepsEarlierValueAndObjectIsReported) {
  const ConfigNode root =
      Config({Rule({Element("REGEX", kNamePattern), Element("DAY", "zz(\\d)"),
                    Element("MONTH", "(x+x+)+y"), Element("OBJECT", "\\d\\d_\\d\\d_(\\d\\d)")})});
  ParsedNameFields fields{"31", "01", "", "", ""};
  CapturedOutput output;
  ASSERT_TRUE(ParseNameWithRules(root, kName, fields));
  EXPECT_EQ(fields.day, "31");
  EXPECT_EQ(fields.month, "01");
  EXPECT_NE(output.Take().find("object = [05]\n"), std::string::npos);
}

TEST(ParseNameWithRulesTest, PagesAndExtraPage) {
  const ConfigNode first = Element("PAGE", "\\d\\d_\\d\\d_\\d\\d_(\\d{3})");
  const ConfigNode second = Element("PAGE", "\\d\\d_\\d\\d_\\d\\d_\\d{3}-(\\d{3})");
  const ConfigNode third = Element("PAGE", "(\\d\\d)");
  const ConfigNode extra = Element("XPAGE", "\\d\\d_\\d\\d_(\\d\\d)");
  const auto parse = [](std::initializer_list<ConfigNode> pages) {
    ConfigNode rule = Rule({Element("REGEX", kNamePattern)});
    rule.children.insert(rule.children.end(), pages);
    ParsedNameFields fields;
    EXPECT_TRUE(ParseNameWithRules(Config({rule}), kName, fields));
    return fields.firstPage + "|" + fields.lastPage;
  };
  EXPECT_EQ(parse({first}), "005|");
  EXPECT_EQ(parse({first, second, third}), "005|008");
  EXPECT_EQ(parse({extra, first, second}), "005|05");
}

TEST(ParseNameWithRulesTest, BrokenAndCatastrophicRegexesAreSkipped) {
  const std::string name(40, 'x');
  const ConfigNode root = Config({
      Rule({Element("REGEX", "(x"), Element("DAY", "(x)")}),
      Rule({Element("REGEX", "(x+x+)+y"), Element("DAY", "(x)")}),
      Rule({Element("REGEX", "x+"), Element("DAY", "(xx)")}),
  });
  ParsedNameFields fields;
  CapturedOutput output;
  ASSERT_TRUE(ParseNameWithRules(root, name, fields));
  EXPECT_EQ(fields.day, "xx");
  const std::string printed = output.Take();
  EXPECT_EQ(printed.rfind("Exception has occured for regex \"(x\" in string \"" + name + "\"", 0),
            0u)
      << printed;
  EXPECT_NE(printed.find("Exception has occured for regex \"(x+x+)+y\""), std::string::npos);
}

} // namespace
