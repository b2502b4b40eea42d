#include <xml/XmlDocument.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string_view>
#include <thread>

namespace layra::xml {
namespace {

using Strings = std::vector<std::string>;

std::unique_ptr<XmlDocument> Parse(std::string_view text, std::string* error = nullptr) {
  return XmlDocument::Parse(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                            error);
}

Strings Names(const std::vector<XmlNode>& nodes) {
  Strings names;
  for (const XmlNode& node : nodes) {
    names.push_back(node.name());
  }
  return names;
}

// The root element of a document that has nothing before it.
XmlNode Root(const XmlDocument& document) {
  return document.root().firstChild();
}

TEST(XmlTree, ElementsAndAttributesKeepDocumentOrder) {
  const auto document = Parse(R"(<r zeta="1" alpha="2" mid="3"><c/><a/><b/></r>)");
  ASSERT_TRUE(document);
  const XmlNode root = Root(*document);
  EXPECT_EQ(root.name(), "r");
  EXPECT_EQ(Names(root.children()), (Strings{"c", "a", "b"}));
  Strings attributes;
  for (const XmlAttribute& attribute : root.attributes()) {
    attributes.push_back(attribute.name + "=" + attribute.value);
  }
  EXPECT_EQ(attributes, (Strings{"zeta=1", "alpha=2", "mid=3"}));
  EXPECT_EQ(root.attribute("alpha"), "2");
  EXPECT_EQ(root.attribute("missing"), std::nullopt);
}

TEST(XmlTree, TextNodesSitAmongElements) {
  const auto document = Parse("<p>Hello <b>bold</b>\n world<![CDATA[<raw>]]></p>");
  ASSERT_TRUE(document);
  const auto children = Root(*document).children();
  ASSERT_EQ(Names(children), (Strings{"#text", "b", "#text", "#cdata-section"}));
  EXPECT_TRUE(children[0].isText());
  EXPECT_EQ(children[0].value(), "Hello ");
  EXPECT_TRUE(children[1].isElement());
  EXPECT_FALSE(children[1].isText());
  EXPECT_EQ(children[1].value(), "");
  EXPECT_EQ(children[1].firstChild().value(), "bold");
  EXPECT_EQ(children[2].value(), "\n world");
  EXPECT_TRUE(children[3].isText());
  EXPECT_EQ(children[3].value(), "<raw>");
  EXPECT_EQ(children[0].attribute("x"), std::nullopt);
}

TEST(XmlTree, DocumentNodeKeepsWhatSurroundsTheRootElement) {
  const auto document = Parse("<?xml version='1.0'?><!-- before --><?app run?><r><e/></r>");
  ASSERT_TRUE(document);
  const XmlNode root = document->root();
  EXPECT_EQ(root.name(), "#document");
  EXPECT_EQ(Names(root.children()), (Strings{"#comment", "app", "r"}));
  EXPECT_EQ(root.firstChild().value(), " before ");
  const XmlNode none = root.children()[2].firstChild().firstChild();
  EXPECT_FALSE(none);
  EXPECT_EQ(none.name(), "");
  EXPECT_TRUE(none.children().empty());
  EXPECT_FALSE(none.isElement() || none.isText());
}

TEST(XmlTree, NamespacesShowAsWritten) {
  const auto document = Parse(R"(<n:r xmlns:n="urn:x" n:a="1" b="2"/>)");
  ASSERT_TRUE(document);
  const XmlNode root = Root(*document);
  EXPECT_EQ(root.name(), "n:r");
  EXPECT_EQ(root.attribute("xmlns:n"), "urn:x");
  EXPECT_EQ(root.attribute("n:a"), "1");
  EXPECT_EQ(root.attributes().size(), 3u);
}

TEST(XmlText, ReferencesResolveAndEncodingsBecomeUtf8) {
  const auto references = Parse(R"(<r a="&lt;&amp;&#x41;">&#233;&gt;</r>)");
  ASSERT_TRUE(references);
  EXPECT_EQ(Root(*references).attribute("a"), "<&A");
  EXPECT_EQ(Root(*references).firstChild().value(), "\xc3\xa9>");
  const auto latin1 = Parse("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>caf\xe9</r>");
  ASSERT_TRUE(latin1);
  EXPECT_EQ(Root(*latin1).firstChild().value(), "caf\xc3\xa9");
}

struct Refusal {
  std::string_view document;
  std::string_view expectedInError;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
  *out << '"' << refusal.document << '"';
}

class RefusedDocument : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedDocument, ReportsWhy) {
  std::string error;
  EXPECT_FALSE(Parse(GetParam().document, &error));
  EXPECT_NE(error.find(GetParam().expectedInError), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, RefusedDocument,
    ::testing::Values(Refusal{"<r>\n<a>\n</r>\n\n", "line 3: Opening and ending tag mismatch"},
                      Refusal{"<r>\n  <a>text", "line 2"}, Refusal{"<r/><second/>", "line 1"},
                      Refusal{"<r>&undeclared;</r>", "undeclared"}, Refusal{"", "empty"}));

INSTANTIATE_TEST_SUITE_P(
    EntityDeclarations, RefusedDocument,
    ::testing::Values(
        Refusal{R"(<!DOCTYPE r [<!ENTITY x SYSTEM "file:///etc/passwd">]><r>&x;</r>)",
                "entity declarations are not accepted"},
        Refusal{R"(<!DOCTYPE r [<!ENTITY % p "<!ENTITY y 'z'>"> %p;]><r/>)", "entity 'p'"},
        Refusal{R"(<!DOCTYPE r [<!NOTATION n SYSTEM "n"><!ENTITY u SYSTEM "u" NDATA n>]><r/>)",
                "entity 'u'"}));

TEST(XmlSafety, ExternalFilesAreNeverRead) {
  std::string error;
  EXPECT_FALSE(
      Parse(R"(<!DOCTYPE r [<!ENTITY x SYSTEM "file:///etc/passwd">]><r>&x;</r>)", &error));
  EXPECT_EQ(error.find("root:"), std::string::npos);
  // Were /etc/passwd read as the DTD, its contents would fail the parse.
  const auto document = Parse(R"(<!DOCTYPE r SYSTEM "file:///etc/passwd"><r>ok</r>)", &error);
  ASSERT_TRUE(document) << error;
  EXPECT_EQ(document->root().children().back().firstChild().value(), "ok");
}

TEST(XmlSafety, BillionLaughsIsRefusedQuickly) {
  std::string bomb = "<!DOCTYPE lolz [<!ENTITY lol0 \"lol\">";
  for (int level = 1; level <= 9; ++level) {
    bomb += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) {
      bomb += "&lol" + std::to_string(level - 1) + ";";
    }
    bomb += "\">";
  }
  bomb += "]><lolz>&lol9;</lolz>";
  std::string error;
  EXPECT_FALSE(Parse(bomb, &error));
  // Stopped at the first declaration, before anything could be expanded.
  EXPECT_NE(error.find("entity declarations are not accepted (entity 'lol0'"), std::string::npos)
      << error;
}

// libxml2 raises a failed conversion outside the parser context; it still belongs to the parse.
TEST(XmlSafety, MessagesRaisedOutsideTheParseStayOffStandardError) {
  ::testing::internal::CaptureStderr();
  std::string error;
  EXPECT_FALSE(Parse("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a>\x8e\xff\xff\xfe</a>", &error));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_NE(error.find("conversion failed"), std::string::npos) << error;
}

TEST(XmlSafety, DeepNestingAndNullDataAreRefused) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) {
    deep += "<a>";
  }
  std::string error;
  EXPECT_FALSE(Parse(deep, &error));
  EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  EXPECT_FALSE(XmlDocument::Parse(nullptr, 10, &error));
  EXPECT_NE(error.find("empty"), std::string::npos) << error;
}

// Errors are collected per parse; a process-wide handler would let one thread's message land in
// another thread's result.
TEST(XmlThreads, ConcurrentParsesKeepTheirOwnErrors) {
  int wrongGood = 0;
  int wrongBad = 0;
  std::thread good([&] {
    for (int i = 0; i < 200; ++i) {
      std::string error;
      wrongGood += (!Parse("<r><a x='1'>t</a></r>", &error) || !error.empty()) ? 1 : 0;
    }
  });
  std::thread bad([&] {
    for (int i = 0; i < 200; ++i) {
      std::string error;
      wrongBad += (Parse("<r>\n\n\n\n<a></r>", &error) || error.find("line 5") == std::string::npos)
                      ? 1
                      : 0;
    }
  });
  good.join();
  bad.join();
  EXPECT_EQ(wrongGood, 0);
  EXPECT_EQ(wrongBad, 0);
}

} // namespace
} // namespace layra::xml
