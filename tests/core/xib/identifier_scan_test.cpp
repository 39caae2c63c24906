// check reads with its own scanner what modify changes through the element tree: on every
// corpus file both must find the same views, and the scanner's missing identifiers must be
// exactly the ones the tree pass adds.
#include "core/xib/identifier_scan.h"

#include <gtest/gtest.h>

#include "core/xib/accessibility_identifiers.h"
#include "corpus.h"
#include "temporary_folder.h"
#include "xml/xml_document.h"

namespace korvaster {
namespace {

TEST(IdentifierScanTest, FindsWhatTheIdentifierPassChangesInEveryCorpusFile) {
  const auto corpus = testing::loadCorpus();
  ASSERT_FALSE(corpus.empty());
  for (const auto& path : corpus) {
    const std::string contents = testing::readFile(path);
    xml::XmlOptions options;
    options.parserSettings.shouldTrimWhitespace = false;
    options.parserSettings.maximumDepth = 256;
    std::optional<IdentifierCounts> counts;
    try {
      xml::XmlDocument document{std::string_view(contents), options};
      counts = transformIdToAccessibility(*document.root());
    } catch (const std::exception&) {
    }
    std::optional<IdentifierScan> scan;
    try {
      scan = scanIdentifiers(contents);
    } catch (const std::exception&) {
    }
    ASSERT_EQ(scan.has_value(), counts.has_value()) << path;
    if (!scan) continue;
    std::size_t missing = 0;
    for (const auto& finding : scan->findings)
      missing += finding.kind == ViewFinding::Kind::missingIdentifier;
    EXPECT_EQ(scan->views, counts->views) << path;
    EXPECT_EQ(missing, counts->added) << path;
  }
}

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
