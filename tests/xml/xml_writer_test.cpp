// The XML the reports are written in: escaping that keeps any path or message a valid,
// round-tripping text, and the layout of nested elements.
#include "xml/xml_writer.h"

#include <gtest/gtest.h>

#include <functional>

#include "oracle/xml_document.h"

namespace korvaster::xml {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(XmlWriterTest, EveryTextIsEscapedAndWhatXmlCannotCarryBecomesReplacementCharacters) {
  const struct {
    std::string text, attribute, content;
  } cases[] = {
      {"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e&apos;f", "a&amp;b&lt;c&gt;d&quot;e&apos;f"},
      {"line\nfeed\ttab\rcr", "line&#10;feed&#9;tab&#13;cr", "line\nfeed\ttab&#13;cr"},
      {"caf\xc3\xa9 \xf0\x9f\x94\xa5", "caf\xc3\xa9 \xf0\x9f\x94\xa5", "caf\xc3\xa9 \xf0\x9f\x94\xa5"},
      {std::string("nul\0esc\x1b", 8), "nul" + kReplacement + "esc" + kReplacement,
       "nul" + kReplacement + "esc" + kReplacement},
      {"latin1 caf\xe9 cut \xe2\x9c", "latin1 caf" + kReplacement + " cut " + kReplacement + kReplacement,
       "latin1 caf" + kReplacement + " cut " + kReplacement + kReplacement},
      {"nonchar \xef\xbf\xbe", "nonchar " + kReplacement, "nonchar " + kReplacement},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(xmlEscaped(c.text, true), c.attribute) << c.attribute;
    EXPECT_EQ(xmlEscaped(c.text, false), c.content) << c.content;
  }
}

TEST(XmlWriterTest, ElementsNestAndEveryWrittenTextReadsBackAsItWasGiven) {
  const std::string odd = "A&B <\"q\"> 'x'\n\ty\r\xc3\xa9";
  const auto write = [&](const std::function<void(XmlWriter&, std::string&)>& take) {
    XmlWriter xml;
    std::string taken;
    xml.open("root").attribute("name", odd).attribute("count", std::size_t{3});
    take(xml, taken);
    xml.open("empty").close().open("full").text(odd).close();
    take(xml, taken);
    xml.open("outer").open("inner").close().close().close();
    return taken + xml.takeText();
  };
  const std::string whole = write([](XmlWriter&, std::string&) {});
  EXPECT_EQ(whole,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<root name=\"A&amp;B &lt;&quot;q&quot;&gt; &apos;x&apos;&#10;&#9;y&#13;\xc3\xa9\" count=\"3\">\n"
            "  <empty/>\n  <full>A&amp;B &lt;&quot;q&quot;&gt; &apos;x&apos;\n\ty&#13;\xc3\xa9</full>\n"
            "  <outer>\n    <inner/>\n  </outer>\n</root>\n");
  // Taken in pieces between steps, the document is the same.
  EXPECT_EQ(write([](XmlWriter& xml, std::string& taken) { taken += xml.takeText(); }), whole);

  const XmlDocument document(whole);
  ASSERT_NE(document.root()->attributes.find("name"), nullptr);
  EXPECT_EQ(*document.root()->attributes.find("name"), odd);
  EXPECT_EQ(document.root()->children()[1]->value, odd);
}

}  // namespace
}  // namespace korvaster::xml
