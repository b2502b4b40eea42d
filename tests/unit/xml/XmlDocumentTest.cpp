#include <xml/XmlDocument.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string_view>
#include <thread>

namespace layra::xml {
namespace {

std::unique_ptr<XmlDocument> Parse(std::string_view text, std::string* error) {
  return XmlDocument::Parse(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                            error);
}

std::unique_ptr<XmlDocument> ParseOk(std::string_view text) {
  std::string error;
  auto document = Parse(text, &error);
  EXPECT_TRUE(document) << error;
  return document;
}

std::vector<std::string> Names(const std::vector<XmlNode>& nodes) {
  std::vector<std::string> names;
  for (const XmlNode& node : nodes) {
    names.push_back(node.name());
  }
  return names;
}

XmlNode RootElement(const XmlDocument& document) {
  for (const XmlNode& child : document.root().children()) {
    if (child.isElement()) {
      return child;
    }
  }
  return {};
}

using Names_ = std::vector<std::string>;

TEST(XmlTree, ElementsAndAttributesKeepDocumentOrder) {
  const auto document = ParseOk(R"(<r zeta="1" alpha="2" mid="3"><c/><a/><b/></r>)");
  ASSERT_TRUE(document);
  const XmlNode root = RootElement(*document);
  EXPECT_EQ(root.name(), "r");
  EXPECT_EQ(Names(root.children()), (Names_{"c", "a", "b"}));
  const auto attributes = root.attributes();
  ASSERT_EQ(attributes.size(), 3u);
  EXPECT_EQ(attributes[0].name, "zeta");
  EXPECT_EQ(attributes[1].name, "alpha");
  EXPECT_EQ(attributes[2].name, "mid");
  EXPECT_EQ(attributes[2].value, "3");
  EXPECT_EQ(root.attribute("alpha"), "2");
  EXPECT_EQ(root.attribute("missing"), std::nullopt);
}

TEST(XmlTree, TextNodesSitAmongElements) {
  const auto document = ParseOk("<p>Hello <b>bold</b> world<![CDATA[<raw>]]></p>");
  ASSERT_TRUE(document);
  const auto children = RootElement(*document).children();
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(Names(children), (Names_{"#text", "b", "#text", "#cdata-section"}));
  EXPECT_TRUE(children[0].isText());
  EXPECT_EQ(children[0].value(), "Hello ");
  EXPECT_FALSE(children[1].isText());
  EXPECT_TRUE(children[1].isElement());
  EXPECT_EQ(children[1].value(), "");
  EXPECT_EQ(children[1].firstChild().value(), "bold");
  EXPECT_EQ(children[2].value(), " world");
  EXPECT_TRUE(children[3].isText());
  EXPECT_EQ(children[3].value(), "<raw>");
  EXPECT_TRUE(children[0].attributes().empty());
  EXPECT_EQ(children[0].attribute("x"), std::nullopt);
}

TEST(XmlTree, DocumentNodeKeepsWhatSurroundsTheRootElement) {
  const auto document = ParseOk("<?xml version='1.0'?><!-- before --><?app run?><r>text</r>");
  ASSERT_TRUE(document);
  const XmlNode root = document->root();
  EXPECT_EQ(root.name(), "#document");
  EXPECT_FALSE(root.isElement());
  EXPECT_EQ(Names(root.children()), (Names_{"#comment", "app", "r"}));
  EXPECT_EQ(root.firstChild().value(), " before ");
  EXPECT_EQ(root.children()[1].value(), "run");
  EXPECT_EQ(root.children()[2].firstChild().value(), "text");
}

TEST(XmlTree, FirstChildOfEmptyElementIsNull) {
  const auto document = ParseOk("<r><empty/></r>");
  ASSERT_TRUE(document);
  const XmlNode empty = RootElement(*document).firstChild();
  ASSERT_TRUE(empty);
  const XmlNode none = empty.firstChild();
  EXPECT_FALSE(none);
  EXPECT_EQ(none.name(), "");
  EXPECT_TRUE(none.children().empty());
  EXPECT_FALSE(none.firstChild());
  EXPECT_FALSE(none.isElement());
  EXPECT_FALSE(none.isText());
}

TEST(XmlTree, WhitespaceBetweenElementsIsKeptAsText) {
  const auto document = ParseOk("<r>\n  <a/>\n</r>");
  ASSERT_TRUE(document);
  const auto children = RootElement(*document).children();
  EXPECT_EQ(Names(children), (Names_{"#text", "a", "#text"}));
  EXPECT_EQ(children[0].value(), "\n  ");
}

TEST(XmlTree, NamespacesShowAsWritten) {
  const auto document = ParseOk(R"(<n:r xmlns:n="urn:x" xmlns="urn:d" n:a="1" b="2"/>)");
  ASSERT_TRUE(document);
  const XmlNode root = RootElement(*document);
  EXPECT_EQ(root.name(), "n:r");
  const auto attributes = root.attributes();
  ASSERT_EQ(attributes.size(), 4u);
  EXPECT_EQ(attributes[0].name, "xmlns:n");
  EXPECT_EQ(attributes[0].value, "urn:x");
  EXPECT_EQ(attributes[1].name, "xmlns");
  EXPECT_EQ(attributes[2].name, "n:a");
  EXPECT_EQ(root.attribute("b"), "2");
}

TEST(XmlText, PredefinedAndCharacterReferencesAreResolved) {
  const auto document = ParseOk(R"(<r a="&lt;&amp;&#x41;">&#233;&gt;&quot;</r>)");
  ASSERT_TRUE(document);
  const XmlNode root = RootElement(*document);
  EXPECT_EQ(root.attribute("a"), "<&A");
  EXPECT_EQ(root.firstChild().value(), "\xc3\xa9>\"");
}

TEST(XmlText, DeclaredEncodingIsConvertedToUtf8) {
  const auto document =
      ParseOk("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r k=\"\xe9\">caf\xe9</r>");
  ASSERT_TRUE(document);
  const XmlNode root = RootElement(*document);
  EXPECT_EQ(root.firstChild().value(), "caf\xc3\xa9");
  EXPECT_EQ(root.attribute("k"), "\xc3\xa9");
}

TEST(XmlText, InternalSubsetWithoutEntitiesIsAccepted) {
  const auto document = ParseOk("<!DOCTYPE r [<!ELEMENT r (#PCDATA)>]><r>x</r>");
  ASSERT_TRUE(document);
  EXPECT_EQ(RootElement(*document).firstChild().value(), "x");
}

struct Refusal {
  std::string_view document;
  std::string_view expectedInError;
};

class RefusedDocument : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedDocument, ReportsWhy) {
  std::string error;
  EXPECT_FALSE(Parse(GetParam().document, &error));
  EXPECT_NE(error.find(GetParam().expectedInError), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, RefusedDocument,
    ::testing::Values(Refusal{"<r>\n<a>\n</r>", "line 3"}, Refusal{"<r>\n  <a>text", "line 2"},
                      Refusal{"<r a='1' a='2'/>", "line 1"}, Refusal{"<r/><second/>", "line 1"},
                      Refusal{"just text", "line 1"}, Refusal{"<r>&undeclared;</r>", "undeclared"},
                      Refusal{"", "empty"}));

INSTANTIATE_TEST_SUITE_P(
    EntityDeclarations, RefusedDocument,
    ::testing::Values(
        Refusal{R"(<!DOCTYPE r [<!ENTITY x SYSTEM "file:///etc/passwd">]><r>&x;</r>)",
                "entity declarations are not accepted"},
        Refusal{R"(<!DOCTYPE r [<!ENTITY x "plain">]><r>&x;</r>)", "entity 'x'"},
        Refusal{R"(<!DOCTYPE r [<!ENTITY % p "<!ENTITY y 'z'>"> %p;]><r/>)", "entity 'p'"},
        Refusal{R"(<!DOCTYPE r [<!NOTATION n SYSTEM "n"><!ENTITY u SYSTEM "u" NDATA n>]><r/>)",
                "entity 'u'"}));

TEST(XmlSafety, ExternalEntityNeverReadsTheFile) {
  std::string error;
  const auto document =
      Parse(R"(<!DOCTYPE r [<!ENTITY x SYSTEM "file:///etc/passwd">]><r>&x;</r>)", &error);
  EXPECT_FALSE(document);
  EXPECT_EQ(error.find("root:"), std::string::npos);
}

TEST(XmlSafety, ExternalDtdIsNotLoaded) {
  // Were /etc/passwd read as a DTD, the parse would fail on its contents.
  const auto document = ParseOk(R"(<!DOCTYPE r SYSTEM "file:///etc/passwd"><r>ok</r>)");
  ASSERT_TRUE(document);
  EXPECT_EQ(RootElement(*document).firstChild().value(), "ok");
}

TEST(XmlSafety, BillionLaughsIsRefusedQuickly) {
  std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
  for (int level = 1; level <= 9; ++level) {
    const std::string previous = level == 1 ? "lol" : "lol" + std::to_string(level - 1);
    bomb += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) {
      bomb += "&" + previous + ";";
    }
    bomb += "\">\n";
  }
  bomb += "]>\n<lolz>&lol9;</lolz>";
  const auto start = std::chrono::steady_clock::now();
  std::string error;
  EXPECT_FALSE(Parse(bomb, &error));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_NE(error.find("entity declarations are not accepted"), std::string::npos) << error;
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
}

TEST(XmlSafety, DeepNestingIsRefusedNotOverflowed) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) {
    deep += "<a>";
  }
  std::string error;
  EXPECT_FALSE(Parse(deep, &error));
  EXPECT_NE(error.find("line 1"), std::string::npos) << error;
}

TEST(XmlSafety, NullDataIsRefused) {
  std::string error;
  EXPECT_FALSE(XmlDocument::Parse(nullptr, 10, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(XmlDocument::Parse(nullptr, 10, nullptr));
}

// Errors are collected per parse; a parser-wide handler would let one thread's message land in
// another thread's result.
TEST(XmlThreads, ConcurrentParsesKeepTheirOwnErrors) {
  constexpr int kRounds = 200;
  int wrongGood = 0;
  int wrongBad = 0;
  std::thread good([&] {
    for (int i = 0; i < kRounds; ++i) {
      std::string error;
      const auto document = Parse("<r><a x='1'>t</a></r>", &error);
      wrongGood += (!document || !error.empty()) ? 1 : 0;
    }
  });
  std::thread bad([&] {
    for (int i = 0; i < kRounds; ++i) {
      std::string error;
      const auto document = Parse("<r>\n\n\n\n<a></r>", &error);
      wrongBad += (document || error.find("line 5") == std::string::npos) ? 1 : 0;
    }
  });
  good.join();
  bad.join();
  EXPECT_EQ(wrongGood, 0);
  EXPECT_EQ(wrongBad, 0);
}

} // namespace
} // namespace layra::xml
