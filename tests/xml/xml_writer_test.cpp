#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace korvaster::xml {
namespace {

// Whole documents are pinned with the stream rewriter, which must write the same text.
TEST(XmlWriterTest, AnElementWrittenAloneKeepsTheIndentOfItsDepth) {
  const XmlDocument document(std::string_view("<r type='x'><a id='1'></a><b><c>t&amp;u</c></b></r>"));
  EXPECT_EQ(document.root()->children()[1]->xml(), "\t<b>\n\t\t<c>t&amp;u</c>\n\t</b>");
}

TEST(XmlWriterTest, LeavesAndValues) {
  struct Case {
    std::optional<std::string> value;
    const char* expected;
  } cases[] = {
      {std::nullopt, "<n />"},
      {std::string(), "<n></n>"},
      {std::string("a<b>&c'd\"e"), "<n>a&lt;b&gt;&amp;c&apos;d&quot;e</n>"},
      {std::string("&lt;"), "<n>&amp;lt;</n>"},
      {std::string("l1\nl2\tt\r"), "<n>l1\nl2\tt&#13;</n>"},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlElement("n", c.value).xml(), c.expected);
}

TEST(XmlWriterTest, AttributeValuesKeepLineBreaksAndTabsAsReferences) {
  const XmlElement element("n", std::nullopt, XmlAttributes{{"a", "x\ny\r\tz"}, {"q", "<'\"&>"}});
  EXPECT_EQ(element.xml(), "<n a=\"x&#10;y&#13;&#9;z\" q=\"&lt;&apos;&quot;&amp;&gt;\" />");
  // And the round trip gives the same value back.
  const XmlDocument reread(std::string_view(element.xml()));
  EXPECT_EQ(*reread.root()->attributes.find("a"), "x\ny\r\tz");
}

TEST(XmlWriterTest, ElementWithValueAndChildrenWritesOnlyTheChildren) {
  XmlElement element("p", std::string("lost"));
  element.addChild("c");
  EXPECT_EQ(element.xml(), "<p>\n<c />\n</p>");  // a detached element stands at depth -1
}

}  // namespace
}  // namespace korvaster::xml
