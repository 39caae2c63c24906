#include "core/xib/accessibility_identifiers.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/xib/identifier_stream_rules.h"
#include "corpus.h"
#include "temporary_folder.h"
#include "xml/xml_document.h"

namespace korvaster {
namespace {

// The file as the identifier pass writes it, with what the rules counted; the error's words
// when it cannot be read.
std::pair<std::string, IdentifierCounts> rewrittenAsStream(std::string_view input) {
  std::string out;
  IdentifierStreamRules rules;
  xml::XmlStreamRewriter rewriter(&rules, [&out](std::string_view block) { return out.append(block), true; }, 256);
  try {
    rewriter.rewrite(input);
  } catch (const xml::XmlSyntaxError& error) {
    return {error.description(), {}};
  }
  return {out, rules.counts()};
}

// The same through a tree, as the pass wrote files before it streamed them.
std::pair<std::string, IdentifierCounts> rewrittenAsTree(std::string_view input) {
  xml::XmlOptions exact;
  exact.parserSettings.shouldTrimWhitespace = false;
  exact.parserSettings.maximumDepth = 256;
  try {
    xml::XmlDocument document(input, exact);
    const IdentifierCounts counts = transformIdToAccessibility(*document.root());
    return {document.xml(), counts};
  } catch (const xml::XmlSyntaxError& error) {
    return {error.description(), {}};
  }
}

std::tuple<std::string, std::size_t, std::size_t, std::size_t> flat(const std::pair<std::string, IdentifierCounts>& r) {
  return {r.first, r.second.views, r.second.added, r.second.kept};
}

TEST(AccessibilityIdentifiersTest, ViewsGetTheirIdAsIdentifier) {
  const std::vector<std::pair<std::string, std::string>> cases{
      // A view without accessibility gets a new last child.
      {R"(<view contentMode="scaleToFill" id="abc-12-def"><rect key="frame"/></view>)",
       "<view contentMode=\"scaleToFill\" id=\"abc-12-def\">\n"
       "\t<rect key=\"frame\" />\n"
       "\t<accessibility key=\"accessibilityConfiguration\" identifier=\"abc-12-def\" />\n"
       "</view>"},
      // An existing identifier is kept.
      {R"(<view contentMode="a" id="v1"><accessibility key="accessibilityConfiguration" identifier="Mine"/></view>)",
       "<view contentMode=\"a\" id=\"v1\">\n"
       "\t<accessibility key=\"accessibilityConfiguration\" identifier=\"Mine\" />\n"
       "</view>"},
      // An accessibility child without one is completed; its own id does not make it a view.
      {R"(<view contentMode="a" id="v1"><accessibility key="k" id="inner" label="L"><traits/></accessibility></view>)",
       "<view contentMode=\"a\" id=\"v1\">\n"
       "\t<accessibility key=\"k\" id=\"inner\" label=\"L\" identifier=\"v1\">\n"
       "\t\t<traits />\n"
       "\t</accessibility>\n"
       "</view>"},
      // Only elements with both an id and a contentMode are views.
      {R"(<scene><viewController id="vc"/><view contentMode="x"/></scene>)",
       "<scene>\n\t<viewController id=\"vc\" />\n\t<view contentMode=\"x\" />\n</scene>"},
  };
  for (const auto& [input, expected] : cases) {
    xml::XmlDocument document{std::string_view(input)};
    transformIdToAccessibility(*document.root());
    EXPECT_EQ(document.root()->xml(), expected);
    EXPECT_EQ(rewrittenAsStream(input).first,
              "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n" + expected);
  }
}

TEST(AccessibilityIdentifiersTest, ViewsAtAnyDepthAreReachedAndASecondRunAddsNothing) {
  const std::string text =
      R"(<document><scenes><scene><objects><viewController id="vc"><view key="view" contentMode="s" id="root">)"
      R"(<subviews><stackView contentMode="s" id="stack"><subviews><label contentMode="left" id="deep"/>)"
      R"(</subviews></stackView></subviews></view></viewController></objects></scene></scenes></document>)";
  xml::XmlDocument document{std::string_view(text)};
  const IdentifierCounts first = transformIdToAccessibility(*document.root());
  EXPECT_EQ(std::make_tuple(first.views, first.added, first.kept), std::make_tuple(3u, 3u, 0u));
  const std::string once = document.xml();
  for (const char* id : {"root", "stack", "deep"}) {
    EXPECT_NE(once.find(std::string("identifier=\"") + id + "\""), std::string::npos) << id;
  }
  const IdentifierCounts second = transformIdToAccessibility(*document.root());
  EXPECT_EQ(std::make_tuple(second.views, second.added, second.kept), std::make_tuple(3u, 0u, 3u));
  EXPECT_EQ(document.xml(), once);
}

TEST(AccessibilityIdentifiersTest, StreamedRewriteEqualsTheTreeRewriteOverTheCorpus) {
  const std::string leafView = R"(<r><view contentMode="a" id="v">text</view><view contentMode="b" id="w"/></r>)";
  EXPECT_EQ(flat(rewrittenAsStream(leafView)), flat(rewrittenAsTree(leafView)));
  const auto corpus = testing::loadCorpus();
  ASSERT_FALSE(corpus.empty());
  for (const auto& path : corpus) {
    const std::string input = testing::readFile(path);
    const auto streamed = rewrittenAsStream(input);
    ASSERT_EQ(flat(streamed), flat(rewrittenAsTree(input))) << path;
    // And a second pass changes nothing.
    if (streamed.second.views > 0) {
      EXPECT_EQ(rewrittenAsStream(streamed.first).first, streamed.first) << path;
    }
  }
}

}  // namespace
}  // namespace korvaster
