// The stream rewriter writes what the tree writer writes, byte for byte, without the tree; the
// identifier pass compares the two over the corpus and the fuzz regressions replay both.
#include "xml/xml_stream_rewriter.h"

#include <gtest/gtest.h>

#include "xml/rewritten_text.h"

namespace korvaster::xml {
namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n";

TEST(XmlStreamRewriterTest, WritesTheTreeWritersText) {
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
    EXPECT_EQ(throughTree(input), kDeclaration + expected) << input;
  }
}

TEST(XmlStreamRewriterTest, FailsWhereTheTreeReaderFails) {
  std::string deep;
  for (int level = 0; level < 5; ++level) deep += "<a>";
  for (int level = 0; level < 5; ++level) deep += "</a>";
  for (const std::string input : {"<r><a></r>", "<r/><junk/>", "", "<r a='1' a='2'/>", "<?xml version='1.0' encoding='x-y'?><r/>"}) {
    EXPECT_EQ(streamed(input), throughTree(input)) << input;
  }
  EXPECT_EQ(streamed(deep, nullptr, 4), "XML syntax error at line 1, column 13: elements nested deeper than 4 levels");
  EXPECT_EQ(streamed(deep, nullptr, 4), throughTree(deep, 4));
  EXPECT_EQ(streamed(deep, nullptr, 5), throughTree(deep, 5));

  int blocks = 0;
  XmlStreamRewriter refusing(nullptr, [&blocks](std::string_view) { return ++blocks, false; }, 0, 8);
  EXPECT_FALSE(refusing.rewrite("<r><a/><b/><c/><d/><e/></r>"));
  EXPECT_EQ(blocks, 1);
}

// Whole documents are pinned with the stream rewriter, which must write the same text.
TEST(XmlWriterTest, AnElementWrittenAloneKeepsTheIndentOfItsDepth) {
  const XmlDocument document(std::string_view("<r type='x'><a id='1'></a><b><c>t&amp;u</c></b></r>"));
  EXPECT_EQ(document.root()->children()[1]->xml(), "\t<b>\n\t\t<c>t&amp;u</c>\n\t</b>");
}

// Escaping is pinned with the stream rewriter; an empty value is not a missing one.
TEST(XmlWriterTest, AnElementWritesItsValueOnlyWithoutChildren) {
  EXPECT_EQ(XmlElement("n", std::nullopt).xml(), "<n />");
  EXPECT_EQ(XmlElement("n", std::string()).xml(), "<n></n>");
  XmlElement element("p", std::string("lost"));
  element.addChild("c");
  EXPECT_EQ(element.xml(), "<p>\n<c />\n</p>");  // a detached element stands at depth -1
}

}  // namespace
}  // namespace korvaster::xml
