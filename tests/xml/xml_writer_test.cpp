#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace korvaster::xml {
namespace {

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
