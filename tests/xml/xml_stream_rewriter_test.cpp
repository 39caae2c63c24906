// The stream rewriter's text: one element per line, tab indentation, escaped values; and where
// it refuses its input, the error says where.
#include "xml/xml_stream_rewriter.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "xml/rewritten_text.h"

namespace korvaster::xml {
namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n";

TEST(XmlStreamRewriterTest, WritesOneElementPerLineWithEscapedValues) {
  const std::pair<const char*, const char*> cases[] = {
      {"<r/>", "<r />"},
      {"<r a='1' b=\"x&#10;y&#13;&#9;&quot;&lt;'&amp;>\"></r>", "<r a=\"1\" b=\"x&#10;y&#13;&#9;&quot;&lt;&apos;&amp;&gt;\" />"},
      // Texts of leaves stay exactly, escaped; texts beside children are layout and go.
      {"<r>\n  <a>  t&amp;&lt;'\"&#13;\n </a> tail <b/>\n</r>",
       "<r>\n\t<a>  t&amp;&lt;&apos;&quot;&#13;\n </a>\n\t<b />\n</r>"},
      // Comments and processing instructions go; CDATA is text like any other.
      {"<?xml version='1.0'?><!-- c --><r><?pi x?><a><![CDATA[<x>]]>y</a><!-- d --></r>",
       "<r>\n\t<a>&lt;x&gt;y</a>\n</r>"},
      {"<!DOCTYPE r [<!ENTITY e 'v&lt;'>]><r><a>&e;</a></r>", "<r>\n\t<a>v&lt;</a>\n</r>"},
      {"<r><a><b><c>d</c></b></a></r>", "<r>\n\t<a>\n\t\t<b>\n\t\t\t<c>d</c>\n\t\t</b>\n\t</a>\n</r>"},
  };
  for (const auto& [input, expected] : cases) {
    EXPECT_EQ(streamed(input), kDeclaration + expected) << input;
    EXPECT_EQ(streamed(input, nullptr, 0, 1), kDeclaration + expected) << input;
  }
}

// An entity bomb is refused, and a writer that refuses a block stops the rewrite.
TEST(XmlStreamRewriterTest, FailsOnMalformedInputAndSaysWhere) {
  std::string deep;
  for (int level = 0; level < 5; ++level) deep = "<a>" + deep + "</a>";
  std::string errors;
  for (const std::string input : {"<r><a></r>", "<r/><junk/>", "", "<r a='1' a='2'/>", "<?xml version='1.0' encoding='x-y'?><r/>"}) {
    errors += input + " => " + streamed(input) + "\n";
  }
  testing::expectApproved("xml-errors.txt", errors);
  EXPECT_EQ(streamed(deep, nullptr, 4), "XML syntax error at line 1, column 13: elements nested deeper than 4 levels");
  EXPECT_EQ(streamed(deep, nullptr, 5).rfind(kDeclaration, 0), 0u);

  EXPECT_EQ(streamed("<a>\n  <b></a>"), "XML syntax error at line 2, column 8: mismatched tag");
  EXPECT_NE(streamed("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a/>")
                .find("(UTF-8, UTF-16, ISO-8859-1 and US-ASCII can be read)"),
            std::string::npos);
  std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e0 \"lollollollollollollollollollol\">";
  for (int level = 1; level < 10; ++level) {
    bomb += "<!ENTITY e" + std::to_string(level) + " \"";
    for (int copy = 0; copy < 10; ++copy) bomb += "&e" + std::to_string(level - 1) + ";";
    bomb += "\">";
  }
  for (const std::string& text : {std::string(), std::string("<?xml version=\"1.0\"?>"), bomb + "]><a>&e9;</a>"})
    EXPECT_EQ(streamed(text).rfind("XML syntax error", 0), 0u) << text.substr(0, 40);

  int blocks = 0;
  XmlStreamRewriter refusing(nullptr, [&blocks](std::string_view) { return ++blocks, false; }, 0, 8);
  EXPECT_FALSE(refusing.rewrite("<r><a/><b/><c/><d/><e/></r>"));
  EXPECT_EQ(blocks, 1);
}

// What expat, as the layer sets it up, hands on: decoded texts and attributes in file order,
// from every encoding it reads, and nothing from outside the bytes it is given.
TEST(XmlStreamRewriterTest, WritesDecodedTextsAndAttributesFromEveryEncodingItReads) {
  const std::pair<std::string, std::string> cases[] = {
      {"<a>   </a>", "<a>   </a>"},
      {"<a>line&#10;two &#x1F600;</a>", "<a>line\ntwo \U0001F600</a>"},
      {"<a z=\"a&amp;b\" b=\"x&#10;y\" m=\"x\ny\"/>", "<a z=\"a&amp;b\" b=\"x&#10;y\" m=\"x y\" />"},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xE9</a>", "<a>caf\u00E9</a>"},
      {"\xEF\xBB\xBF<a>bom</a>", "<a>bom</a>"},
      {std::string("\xFF\xFE<\0a\0>\0\xE9\0<\0/\0a\0>\0", 18), "<a>\u00E9</a>"},  // UTF-16
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(streamed(input), kDeclaration + expected) << input;
  // An external entity is never loaded: either the text fails to read or the entity stays empty.
  const std::string external = "<!DOCTYPE a [<!ENTITY ext SYSTEM \"/etc/passwd\">]><a>&ext;</a>";
  EXPECT_EQ(streamed(external).find("root"), std::string::npos);
}

TEST(XmlStreamRewriterTest, DeepNestingIsWrittenWithoutRecursion) {
  std::string nested;
  for (int i = 0; i < 5000; ++i) nested += "<d>";
  for (int i = 0; i < 5000; ++i) nested += "</d>";
  // Declaration line; 4999 squared tabs; "<d>", "\n", "</d>" and a line feed per inner level; "<d />".
  EXPECT_EQ(streamed(nested).size(), 55u + 4999u * 4999u + 4999u * 9u + 5u);
}

}  // namespace
}  // namespace korvaster::xml
