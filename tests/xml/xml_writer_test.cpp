// The XML the reports are written in: escaping that keeps any path or message valid text, and
// the layout of nested elements.
#include "xml/xml_writer.h"

#include <gtest/gtest.h>

#include "golden.h"

namespace korvaster::xml {
namespace {

// Each text escaped in an attribute and in content, against the approved text: what XML cannot
// carry (NUL, C0 controls, bytes that are not UTF-8, noncharacters) becomes U+FFFD.
TEST(XmlWriterTest, EveryTextIsEscapedAndWhatXmlCannotCarryBecomesReplacementCharacters) {
  std::string escaped;
  for (const std::string& text : {std::string("a&b<c>d\"e'f"), std::string("line\nfeed\ttab\rcr"),
                                 std::string("caf\xc3\xa9 \xf0\x9f\x94\xa5"), std::string("nul\0esc\x1b", 8),
                                 std::string("latin1 caf\xe9 cut \xe2\x9c"), std::string("nonchar \xef\xbf\xbe")}) {
    escaped += xmlEscaped(text, true) + " | " + xmlEscaped(text, false) + "\n";
  }
  testing::expectApproved("xml-escaped.txt", escaped);
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
