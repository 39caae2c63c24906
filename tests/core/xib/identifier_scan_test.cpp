// check's own scanner; that it agrees with the identifier pass on every corpus file is tested
// with the pass.
#include "core/xib/identifier_scan.h"

#include <gtest/gtest.h>

#include "xml/xml_error.h"

namespace korvaster {
namespace {

TEST(IdentifierScanTest, TheEarliestUseOfAnIdentifierIsTheFirstEvenWhenItsViewEndsLast) {
  const auto scan = scanIdentifiers(
      "<doc>\n<view contentMode=\"a\" id=\"outer\"><accessibility identifier=\"x\"/>\n"
      "  <view contentMode=\"a\" id=\"inner\"><accessibility identifier=\"x\"/></view>\n"
      "  <view contentMode=\"a\" id=\"late\"><accessibility identifier=\"x\"/></view>\n</view>\n</doc>");
  ASSERT_EQ(scan.findings.size(), 2u);
  for (std::size_t index = 0; index < 2; ++index) {
    EXPECT_EQ(scan.findings[index].firstId, "outer");
    EXPECT_EQ(scan.findings[index].position.line, index + 3);
    EXPECT_EQ(scan.findings[index].position.column, 3u);
  }
  std::string deep;
  for (int level = 0; level < 257; ++level) deep += "<a>";
  EXPECT_THROW(scanIdentifiers(deep), xml::XmlSyntaxError);
}

}  // namespace
}  // namespace korvaster
