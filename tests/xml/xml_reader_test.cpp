#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace korvaster::xml {
namespace {

std::shared_ptr<XmlElement> rootOf(std::string_view text) { return XmlDocument(text).root(); }

TEST(XmlReaderTest, TheRootValueIsItsDecodedTrimmedTextBeforeTheFirstChild) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
      {"<a>x<b>y</b>z</a>", "x"},       // text after a child is lost
      {"<a>\n    <b/></a>", "\n    "},  // an element with children is not trimmed
      {"<a>  hello  </a>", "hello"},
      {"<a>   </a>", ""},
      {"<a/>", std::nullopt},
      {"<a></a>", std::nullopt},
      {"<a>\u00A0\u2003 x\u2028\u3000\n</a>", "x"},  // Zs, Zl and line feeds
      {"<a>\u200Bx</a>", "\u200Bx"},                 // a zero-width space is not Zs
      {"<a>&lt;b&gt; &amp; c</a>", "<b> & c"},
      {"<a>line&#10;two &#x1F600;</a>", "line\ntwo \U0001F600"},
      {"<?xml version=\"1.0\"?><!--c--><a><!--x-->t<?pi x?><![CDATA[<kept>]]></a>", "t<kept>"},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xE9</a>", "caf\u00E9"},
      {"\xEF\xBB\xBF<a>bom</a>", "bom"},
      {std::string("\xFF\xFE<\0a\0>\0\xE9\0<\0/\0a\0>\0", 18), "\u00E9"},  // UTF-16
  };
  for (const auto& [input, value] : cases) EXPECT_EQ(rootOf(input)->value, value) << input;
}

TEST(XmlReaderTest, AttributesAreDecodedAndKeepTheirFileOrder) {
  const auto a = rootOf("<a z=\"a&amp;b\" b=\"x&#10;y\" m=\"x\ny\"/>");
  EXPECT_EQ(a->attributes, (XmlAttributes{{"z", "a&b"}, {"b", "x\ny"}, {"m", "x y"}}));
}

// The description of the error reading `text` throws; "" when it reads.
std::string errorOf(const std::string& text) {
  try {
    XmlDocument document{std::string_view(text)};
  } catch (const XmlSyntaxError& error) {
    return error.description();
  }
  return "";
}

TEST(XmlReaderTest, MalformedInputFailsWithThePositionAndUntrustedInputLoadsNothing) {
  EXPECT_EQ(errorOf("<a>\n  <b></a>"), "XML syntax error at line 2, column 8: mismatched tag");
  EXPECT_NE(errorOf("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a/>")
                .find("(UTF-8, UTF-16, ISO-8859-1 and US-ASCII can be read)"),
            std::string::npos);
  std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e0 \"lollollollollollollollollollol\">";
  for (int level = 1; level < 10; ++level) {
    bomb += "<!ENTITY e" + std::to_string(level) + " \"";
    for (int copy = 0; copy < 10; ++copy) bomb += "&e" + std::to_string(level - 1) + ";";
    bomb += "\">";
  }
  for (const std::string& text : {std::string(), std::string("<?xml version=\"1.0\"?>"), std::string("<a></a><b/>"),
                                  bomb + "]><a>&e9;</a>"}) {
    EXPECT_NE(errorOf(text), "") << text.substr(0, 40);
  }
  // An external entity is never loaded: either the text fails to read or the entity stays empty.
  const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY ext SYSTEM \"/etc/passwd\">]><a>&ext;</a>";
  if (errorOf(external).empty()) {
    EXPECT_EQ(rootOf(external)->value.value_or("").find("root"), std::string::npos);
  }
}

std::string nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<d>";
  for (int i = 0; i < depth; ++i) text += "</d>";
  return text;
}

TEST(XmlReaderTest, DeepNestingDoesNotOverflowTheStackOnReadWriteOrRelease) {
  auto deep = std::make_unique<XmlDocument>(std::string_view(nested(200000)));
  deep.reset();
  // Output grows with the square of the depth (one tab per level), so the depth stays modest.
  const std::string text = XmlDocument(std::string_view(nested(5000))).xml();
  // Declaration line; 4999 squared tabs; "<d>", "\n", "</d>" and a line feed per inner level; "<d />".
  EXPECT_EQ(text.size(), 55u + 4999u * 4999u + 4999u * 9u + 5u);
}

}  // namespace
}  // namespace korvaster::xml
