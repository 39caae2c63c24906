#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace korvaster::xml {
namespace {

TEST(XmlWriterTest, DocumentExample) {
  const XmlDocument document(std::string_view("<document type='x'><a id='1'></a><b>t&amp;u</b></document>"));
  EXPECT_EQ(document.xml(),
            "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n"
            "<document type=\"x\">\n"
            "\t<a id=\"1\" />\n"
            "\t<b>t&amp;u</b>\n"
            "</document>");
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

TEST(XmlWriterTest, IndentationFollowsDepthEvenWhenWrittenAlone) {
  const XmlDocument document(std::string_view("<r><a><b><c/></b></a></r>"));
  const auto b = document.root()->children()[0]->children()[0];
  EXPECT_EQ(b->xml(), "\t\t<b>\n\t\t\t<c />\n\t\t</b>");
  EXPECT_EQ(document.root()->xml(), "<r>\n\t<a>\n\t\t<b>\n\t\t\t<c />\n\t\t</b>\n\t</a>\n</r>");
}

TEST(XmlWriterTest, DeclarationWritesTheShortestVersion) {
  XmlOptions::DocumentHeader header;
  EXPECT_EQ(header.xmlString(), "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>");
  header.version = 1.1;
  header.encoding = "UTF-8";
  header.standalone = "yes";
  EXPECT_EQ(header.xmlString(), "<?xml version=\"1.1\" encoding=\"UTF-8\" standalone=\"yes\"?>");
  header.version = 2;
  EXPECT_EQ(header.xmlString().substr(0, 19), "<?xml version=\"2.0\"");
}

TEST(XmlAttributesTest, SetReplacesInPlaceAndAppendsNewNames) {
  XmlAttributes attributes{{"a", "1"}, {"b", "2"}};
  attributes.set("a", "3");
  attributes.set("c", "4");
  EXPECT_EQ(attributes, (XmlAttributes{{"a", "3"}, {"b", "2"}, {"c", "4"}}));
  EXPECT_EQ(attributes.find("missing"), nullptr);
}

}  // namespace
}  // namespace korvaster::xml
