#include "core/xib/accessibility_identifiers.h"

#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace korvaster {
namespace {

// Runs the walk over `text` and returns the root's rewritten text.
std::string transformed(const std::string& text) {
  xml::XmlDocument document{std::string_view(text)};
  transformIdToAccessibility(*document.root());
  return document.root()->xml();
}

TEST(AccessibilityIdentifiersTest, AViewWithoutAccessibilityGetsANewLastChild) {
  EXPECT_EQ(transformed(R"(<view contentMode="scaleToFill" id="abc-12-def"><rect key="frame"/></view>)"),
            "<view contentMode=\"scaleToFill\" id=\"abc-12-def\">\n"
            "\t<rect key=\"frame\" />\n"
            "\t<accessibility key=\"accessibilityConfiguration\" identifier=\"abc-12-def\" />\n"
            "</view>");
}

TEST(AccessibilityIdentifiersTest, AnExistingIdentifierIsKeptAndAMissingOneIsCompleted) {
  EXPECT_EQ(
      transformed(
          R"(<view contentMode="a" id="v1"><accessibility key="accessibilityConfiguration" identifier="Mine"/></view>)"),
      "<view contentMode=\"a\" id=\"v1\">\n"
      "\t<accessibility key=\"accessibilityConfiguration\" identifier=\"Mine\" />\n"
      "</view>");
  EXPECT_EQ(
      transformed(
          R"(<view contentMode="a" id="v1"><accessibility key="accessibilityConfiguration" label="L"><traits/></accessibility></view>)"),
      "<view contentMode=\"a\" id=\"v1\">\n"
      "\t<accessibility key=\"accessibilityConfiguration\" label=\"L\" identifier=\"v1\">\n"
      "\t\t<traits />\n"
      "\t</accessibility>\n"
      "</view>");
}

TEST(AccessibilityIdentifiersTest, OnlyElementsWithBothIdAndContentModeChange) {
  const std::string untouched =
      R"(<scene><viewController id="vc"/><constraint firstItem="a" id="c1"/><view contentMode="x"/></scene>)";
  EXPECT_EQ(transformed(untouched),
            "<scene>\n\t<viewController id=\"vc\" />\n\t<constraint firstItem=\"a\" id=\"c1\" />\n"
            "\t<view contentMode=\"x\" />\n</scene>");
}

TEST(AccessibilityIdentifiersTest, ViewsAtAnyDepthAreReachedAndASecondRunAddsNothing) {
  const std::string text =
      R"(<document><scenes><scene><objects><viewController id="vc"><view key="view" contentMode="s" id="root">)"
      R"(<subviews><stackView contentMode="s" id="stack"><subviews><label contentMode="left" id="deep"/>)"
      R"(</subviews></stackView></subviews></view></viewController></objects></scene></scenes></document>)";
  xml::XmlDocument document{std::string_view(text)};
  transformIdToAccessibility(*document.root());
  const std::string once = document.xml();
  for (const char* id : {"root", "stack", "deep"}) {
    EXPECT_NE(once.find(std::string("identifier=\"") + id + "\""), std::string::npos) << id;
  }
  transformIdToAccessibility(*document.root());
  EXPECT_EQ(document.xml(), once);
}

TEST(AccessibilityIdentifiersTest, AccessibilityElementWithAnIdIsNotAView) {
  // The appended child has no contentMode, so the walk that reaches it leaves it alone.
  EXPECT_EQ(transformed(R"(<view contentMode="s" id="v"><accessibility key="k" id="inner"/></view>)"),
            "<view contentMode=\"s\" id=\"v\">\n"
            "\t<accessibility key=\"k\" id=\"inner\" identifier=\"v\" />\n"
            "</view>");
}

}  // namespace
}  // namespace korvaster
