// The XML the reports are written in: escaping that keeps any path or message valid text, and
// the layout of nested elements.
#include "xml/xml_writer.h"

#include <gtest/gtest.h>

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

// The e2e tests read the reports back with expat; here the layout, also when taken in pieces.
TEST(XmlWriterTest, ElementsNestAndCloseEmptyOnesInTheirStartTag) {
  XmlWriter xml;
  xml.open("root").attribute("name", "a'b").attribute("count", std::size_t{3});
  std::string taken = xml.takeText();
  xml.open("empty").close().open("full").text("x<y").close().open("outer").open("inner").close().close().close();
  EXPECT_EQ(taken + xml.takeText(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root name=\"a&apos;b\" count=\"3\">\n  <empty/>\n"
            "  <full>x&lt;y</full>\n  <outer>\n    <inner/>\n  </outer>\n</root>\n");
}

}  // namespace
}  // namespace korvaster::xml
