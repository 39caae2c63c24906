// How `ids` names views and their owners, and how those names become Swift identifiers: one
// table of small documents, each with every view's expected name, owner and Swift name.
#include "core/xib/view_names.h"

#include <gtest/gtest.h>

#include "core/xib/swift_names.h"
#include "core/xib/view_listing.h"
#include "xml/xml_error.h"

namespace korvaster {
namespace {

struct Expected {
  std::string name, owner, swiftName;
};

// A storyboard scene whose view controller (class `LoginVC`) holds `connections`.
std::string scene(const std::string& views, const std::string& connections = "",
                  const std::string& controllerClass = "LoginVC") {
  return "<document><scenes><scene sceneID=\"s\"><objects><viewController id=\"vc\" customClass=\"" +
         controllerClass +
         "\" sceneMemberID=\"viewController\"><view key=\"view\" contentMode=\"a\" id=\"root\">" + views +
         "</view><connections>" + connections +
         "</connections></viewController></objects></scene></scenes>"
         "</document>";
}

const Expected kRoot{"viewroot", "LoginVC", "viewroot"};

TEST(ViewNamesTest, ViewsAreNamedByOutletLabelTextOrIdAndBecomeUniqueSwiftNames) {
  const struct {
    std::string what, document;
    std::vector<Expected> views;
  } cases[] = {
      {"an outlet, even when it comes after the view",
       scene(R"(<button contentMode="a" userLabel="Go" id="b-1"/>)",
             R"(<outlet property="loginButton" destination="b-1" id="o"/>)"),
       {kRoot, {"loginButton", "LoginVC", "loginButton"}}},
      {"several outlets: the first in document order",
       scene(
           R"(<button contentMode="a" id="b-1"/>)",
           R"(<outlet property="second" destination="x" id="o0"/><outlet property="first" destination="b-1" id="o1"/>)"
           R"(<outlet property="later" destination="b-1" id="o2"/>)"),
       {kRoot, {"first", "LoginVC", "first"}}},
      {"an outlet from a custom view owns by that view's class",
       scene(
           R"(<view contentMode="a" customClass="Card" id="c"><subviews><label contentMode="a" id="l"/></subviews>)"
           R"(<connections><outlet property="title" destination="l" id="o"/></connections></view>)"),
       {kRoot, {"viewc", "LoginVC", "viewc"}, {"title", "Card", "title"}}},
      {"a holder without a class leaves the owner to the scene",
       scene(R"(<view contentMode="a" id="c"><label contentMode="a" id="l"/>)"
             R"(<connections><outlet property="title" destination="l" id="o"/></connections></view>)"),
       {kRoot, {"viewc", "LoginVC", "viewc"}, {"title", "LoginVC", "title"}}},
      {"userLabel, camel-cased",
       scene(R"(<view contentMode="a" userLabel="Header Stack View" text="x" id="h"/>)"),
       {kRoot, {"headerStackView", "LoginVC", "headerStackView"}}},
      {"text, then the element",
       scene(R"(<label contentMode="a" text="Welcome back!" id="l"/>)"),
       {kRoot, {"welcomeBackLabel", "LoginVC", "welcomeBackLabel"}}},
      {"a button's normal-state title, not another state's",
       scene(R"(<button contentMode="a" id="b"><state key="highlighted" title="Pressed"/>)"
             R"(<state key="normal" title="Log in"/></button>)"),
       {kRoot, {"logInButton", "LoginVC", "logInButton"}}},
      {"placeholder, and a leading run of capitals lowered",
       scene(R"(<textField contentMode="a" placeholder="URL of the server" id="t"/>)"),
       {kRoot, {"urlOfTheServerTextField", "LoginVC", "urlOfTheServerTextField"}}},
      {"fallback: element and the id's letters and digits; texts without words do not count",
       scene(R"(<button contentMode="a" text="..." id="Xk3-pQ-9aZ"/>)"),
       {kRoot, {"buttonXk3pQ9aZ", "LoginVC", "buttonXk3pQ9aZ"}}},
      {"keywords: backquoted, or suffixed where backquotes do not help",
       scene(
           R"(<view contentMode="a" userLabel="default" id="d"/><view contentMode="a" userLabel="self" id="s"/>)"
           R"(<view contentMode="a" userLabel="Type" id="t"/>)"),
       {kRoot,
        {"default", "LoginVC", "`default`"},
        {"self", "LoginVC", "self_"},
        {"type", "LoginVC", "type"}}},
      {"leading digits are prefixed",
       scene(R"(<label contentMode="a" text="2 Factor" id="l"/>)",
             R"(<outlet property="3d" destination="root" id="o"/>)"),
       {{"3d", "LoginVC", "_3d"}, {"2FactorLabel", "LoginVC", "_2FactorLabel"}}},
      {"Unicode letters stay, Unicode punctuation goes",
       scene(R"(<label contentMode="a" text="Größe — Übersicht…" id="l"/>)"),
       {kRoot, {"größe—Übersicht…Label", "LoginVC", "größeÜbersichtLabel"}}},
      {"punctuation parts words; apostrophes do not",
       scene(R"(<view contentMode="a" userLabel="File's Owner [main]" id="v"/>)"),
       {kRoot, {"filesOwnerMain", "LoginVC", "filesOwnerMain"}}},
      {"duplicates get a suffix from their id, also in backquotes",
       scene(
           R"(<label contentMode="a" text="Hi" id="l-1"/><label contentMode="a" text="Hi" id="l-2"/>)"
           R"(<view contentMode="a" userLabel="default" id="d-1"/><view contentMode="a" userLabel="default" id="d-2"/>)"
           R"(<view contentMode="a" userLabel="default" id="d2"/>)"),
       {kRoot,
        {"hiLabel", "LoginVC", "hiLabel"},
        {"hiLabel", "LoginVC", "hiLabel_l2"},
        {"default", "LoginVC", "`default`"},
        {"default", "LoginVC", "default_d2"},
        {"default", "LoginVC", "default_d2_2"}}},
      {"a xib's views belong to its File's Owner",
       R"(<document><objects><placeholder placeholderIdentifier="IBFilesOwner" id="-1" customClass="CellOwner"/>)"
       R"(<view contentMode="a" id="v"/></objects></document>)",
       {{"viewv", "CellOwner", "viewv"}}},
      {"no class anywhere: the file's name",
       scene(R"(<view contentMode="a" id="v"/>)", "", ""),
       {{"viewroot", "Main", "viewroot"}, {"viewv", "Main", "viewv"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ViewListing listing = listViews(c.document);
    ASSERT_EQ(listing.size(), c.views.size());
    SwiftScope scope(SwiftNameKind::member);
    for (std::size_t index = 0; index < listing.size(); ++index) {
      const ViewName named = nameView(listing, index, "Main");
      EXPECT_EQ(named.name, c.views[index].name);
      EXPECT_EQ(named.owner, c.views[index].owner);
      EXPECT_EQ(scope.claim(named.name, listing.view(index).id), c.views[index].swiftName);
    }
  }
}

TEST(ViewNamesTest, TypesStringsAndCommentsStayValidSwift) {
  const struct {
    std::string input, type, literal, comment;
  } cases[] = {
      {"login view-controller", "LoginViewController", "\"login view-controller\"", "login view-controller"},
      {"Any", "Any_", "\"Any\"", "Any"},
      {"\xCC\x81x", "_\xCC\x81x", "\"\xCC\x81x\"", "\xCC\x81x"},  // a combining mark cannot lead
      {"a\"b\\c\n\x01", "ABC", "\"a\\\"b\\\\c\\n\\u{1}\"", "a\"b\\c\\n\\x01"},
      {"bad\xFFutf", "BadUtf", "\"bad\xEF\xBF\xBDutf\"", "bad\xEF\xBF\xBDutf"},
      {"%%%", "", "\"%%%\"", "%%%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(swiftIdentifier(c.input, SwiftNameKind::type), c.type) << c.input;
    EXPECT_EQ(swiftStringLiteral(c.input), c.literal) << c.input;
    EXPECT_EQ(swiftCommentText(c.input), c.comment) << c.input;
  }
  SwiftScope scope(SwiftNameKind::type);
  EXPECT_EQ(scope.claim("%%%", ""), "Unnamed");
  EXPECT_EQ(scope.claim("unnamed", ""), "Unnamed_2");
}

TEST(ViewNamesTest, ListingReadsIdentifiersAsTheRulesDoAndFailsWithWhere) {
  const ViewListing listing = listViews(
      "<document>\n<view contentMode=\"a\" id=\"v\"><accessibility key=\"k\" identifier=\"given\"/></view>\n"
      "  <view contentMode=\"a\" id=\"w\"><accessibility key=\"k\"/><accessibility "
      "identifier=\"late\"/></view>"
      "</document>");
  ASSERT_EQ(listing.size(), 2u);
  EXPECT_EQ(listing.view(0).identifier, "given");
  EXPECT_TRUE(listing.view(0).hasIdentifier);
  EXPECT_FALSE(listing.view(1).hasIdentifier);  // only the first accessibility child counts
  EXPECT_EQ(listing.view(1).position.line, 3u);
  EXPECT_EQ(listing.view(1).position.column, 3u);
  try {
    listViews("<document>\n<view contentMode=\"a\" id=\"v\">");
    ADD_FAILURE() << "no error";
  } catch (const xml::XmlSyntaxError& error) {
    EXPECT_EQ(error.line(), 2u);
  }
  std::string deep;
  for (int level = 0; level < 300; ++level) deep += "<a>";
  EXPECT_THROW(listViews(deep), xml::XmlSyntaxError);
}

}  // namespace
}  // namespace korvaster
