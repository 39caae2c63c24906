#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace korvaster::xml {
namespace {

std::shared_ptr<XmlElement> rootOf(std::string_view text) { return XmlDocument(text).root(); }

TEST(XmlReaderTest, ValueIsTheTextBeforeTheFirstChildAndLaterTextIsLost) {
  const auto a = rootOf("<a>x<b>y</b>z</a>");
  EXPECT_EQ(a->value, "x");
  ASSERT_EQ(a->children().size(), 1u);
  EXPECT_EQ(a->children()[0]->value, "y");
  EXPECT_EQ(a->children()[0]->parent(), a.get());
}

TEST(XmlReaderTest, LeafValuesAreTrimmedEmptyOrAbsent) {
  EXPECT_EQ(rootOf("<a>  hello  </a>")->value, "hello");
  EXPECT_EQ(rootOf("<a>   </a>")->value, "");
  EXPECT_EQ(rootOf("<a/>")->value, std::nullopt);
  EXPECT_EQ(rootOf("<a></a>")->value, std::nullopt);
  EXPECT_EQ(rootOf("<a>\u00A0\u2003 x\u2028\u3000\n</a>")->value, "x");  // Zs, Zl and line feeds
  EXPECT_EQ(rootOf("<a>\u200Bx</a>")->value, "\u200Bx");                 // zero-width space is not Zs
}

TEST(XmlReaderTest, ElementWithChildrenKeepsItsUntrimmedIndentation) {
  const auto a = rootOf("<a>\n    <b/></a>");
  EXPECT_EQ(a->value, "\n    ");
}

TEST(XmlReaderTest, ReferencesAreDecodedInTextAndAttributes) {
  EXPECT_EQ(rootOf("<a>&lt;b&gt; &amp; c</a>")->value, "<b> & c");
  EXPECT_EQ(rootOf("<a>line&#10;two &#x1F600;</a>")->value, "line\ntwo \U0001F600");
  const auto a = rootOf("<a t=\"a&amp;b\" n=\"x&#10;y\" w=\"x\ny\"/>");
  EXPECT_EQ(*a->attributes.find("t"), "a&b");
  EXPECT_EQ(*a->attributes.find("n"), "x\ny");
  EXPECT_EQ(*a->attributes.find("w"), "x y");  // raw line feeds are normalised by the parser
}

TEST(XmlReaderTest, AttributesKeepTheirFileOrder) {
  const auto a = rootOf("<a z=\"1\" b=\"2\" m=\"3\"/>");
  std::vector<std::string> names;
  for (const auto& entry : a->attributes) names.push_back(entry.first);
  EXPECT_EQ(names, (std::vector<std::string>{"z", "b", "m"}));
}

TEST(XmlReaderTest, CommentsAndProcessingInstructionsAreDroppedButCdataTextIsKept) {
  const auto a = rootOf("<?xml version=\"1.0\"?><!--c--><a><!--x-->t<?pi x?><![CDATA[<kept>]]></a>");
  EXPECT_EQ(a->value, "t<kept>");
  EXPECT_TRUE(a->children().empty());
}

TEST(XmlReaderTest, EncodingsAreDetected) {
  EXPECT_EQ(rootOf("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xE9</a>")->value, "caf\u00E9");
  EXPECT_EQ(rootOf("\xEF\xBB\xBF<a>bom</a>")->value, "bom");
  const std::string utf16("\xFF\xFE<\0a\0>\0\xE9\0<\0/\0a\0>\0", 18);
  EXPECT_EQ(rootOf(utf16)->value, "\u00E9");
}

TEST(XmlReaderTest, MalformedInputThrowsTheParsersErrorWithItsPosition) {
  try {
    XmlDocument document(std::string_view("<a>\n  <b></a>"));
    FAIL() << "no error";
  } catch (const XmlSyntaxError& error) {
    EXPECT_EQ(error.description(), "XML syntax error at line 2, column 8: mismatched tag");
  }
  EXPECT_THROW(XmlDocument(std::string_view("")), XmlSyntaxError);
  EXPECT_THROW(XmlDocument(std::string_view("<?xml version=\"1.0\"?>")), XmlSyntaxError);
  EXPECT_THROW(XmlDocument(std::string_view("<a></a><b/>")), XmlSyntaxError);
}

TEST(XmlReaderTest, UnsupportedEncodingFailsWithAClearMessage) {
  try {
    XmlDocument document(std::string_view("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a/>"));
    FAIL() << "no error";
  } catch (const XmlSyntaxError& error) {
    EXPECT_NE(error.description().find("UTF-8, UTF-16, ISO-8859-1 and US-ASCII"), std::string::npos)
        << error.description();
  }
}

TEST(XmlReaderTest, ExternalEntitiesAreNeverLoaded) {
  const std::string text =
      "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY ext SYSTEM \"/etc/passwd\">]><a>&ext;</a>";
  std::optional<std::string> value;
  try {
    value = rootOf(text)->value;
  } catch (const XmlSyntaxError&) {
  }
  EXPECT_TRUE(!value || value->find("root") == std::string::npos);
}

TEST(XmlReaderTest, EntityExpansionBombIsRejected) {
  std::string text = "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e0 \"lollollollollollollollollollol\">";
  for (int level = 1; level < 10; ++level) {
    text += "<!ENTITY e" + std::to_string(level) + " \"";
    for (int copy = 0; copy < 10; ++copy) text += "&e" + std::to_string(level - 1) + ";";
    text += "\">";
  }
  text += "]><a>&e9;</a>";
  EXPECT_THROW(XmlDocument(std::string_view(text)), XmlSyntaxError);
}

std::string nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<d>";
  for (int i = 0; i < depth; ++i) text += "</d>";
  return text;
}

TEST(XmlReaderTest, DeepNestingDoesNotOverflowTheStackOnReadOrRelease) {
  auto document = std::make_unique<XmlDocument>(std::string_view(nested(200000)));
  document.reset();
}

TEST(XmlWriterDepthTest, DeepNestingDoesNotOverflowTheStackOnWrite) {
  // Output grows with the square of the depth (one tab per level), so the depth stays modest.
  const XmlDocument document(std::string_view(nested(5000)));
  const std::string text = document.xml();
  // Declaration line; 4999 squared tabs; "<d>", "\n", "</d>" and a line feed per inner level; "<d />".
  EXPECT_EQ(text.size(), 55u + 4999u * 4999u + 4999u * 9u + 5u);
}

TEST(XmlElementTest, ChildrenOutliveTheirParentSafely) {
  std::shared_ptr<XmlElement> child;
  {
    XmlDocument document(std::string_view("<a><b>v</b></a>"));
    child = document.root()->children()[0];
  }
  EXPECT_EQ(child->parent(), nullptr);
  EXPECT_EQ(child->xml(), "<b>v</b>");
}

}  // namespace
}  // namespace korvaster::xml
