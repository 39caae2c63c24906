#include "core/xib/identifier_insertion.h"

#include <gtest/gtest.h>

#include "core/xib/interface_builder_file.h"
#include "fakes/fault_injecting_file_manager.h"
#include "files/file_manager_posix.h"
#include "files/file_io_error.h"
#include "temporary_folder.h"
#include "xml/xml_error.h"

namespace korvaster {
namespace {

// A view of `name` with the given children, one per line at Xcode's indentation.
std::string view(const std::string& name, const std::vector<std::string>& children) {
  std::string text = "<document>\n    <" + name + " contentMode=\"scaleToFill\" id=\"v-1\">\n";
  for (const auto& child : children) text += "        " + child + "\n";
  return text + "    </" + name + ">\n</document>\n";
}

const std::string kHolder = "<accessibility key=\"accessibilityConfiguration\" identifier=\"v-1\"/>";
const std::string kFrame = "<rect key=\"frame\" x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>";
const std::string kMask = "<autoresizingMask key=\"autoresizingMask\"/>";
const std::string kSubviews = "<subviews/>";
const std::string kBackground = "<color key=\"backgroundColor\" white=\"1\" alpha=\"1\"/>";
const std::string kTint = "<color key=\"tintColor\" white=\"1\" alpha=\"1\"/>";
const std::string kConstraints = "<constraints/>";
const std::string kFont = "<fontDescription key=\"fontDescription\" type=\"system\" pointSize=\"17\"/>";
const std::string kState = "<state key=\"normal\" title=\"Go\"/>";
const std::string kConnections = "<connections/>";
const std::string kRuntime = "<userDefinedRuntimeAttributes/>";
const std::string kAnimations = "<animations/>";
const std::string kSymbol =
    "<preferredSymbolConfiguration key=\"preferredSymbolConfiguration\" scale=\"large\"/>";
const std::string kVariation =
    "<variation key=\"widthClass=compact\"><mask key=\"constraints\"/></variation>";
const std::string kCellContent = "<collectionViewCellContentView key=\"contentView\" id=\"c-1\"/>";
const std::string kContentView = "<view key=\"contentView\" id=\"c-2\"/>";
const std::string kUnknown = "<viewLayoutGuide key=\"safeArea\" id=\"g-1\"/>";

TEST(IdentifierInsertionTest, TheNewChildGoesWhereXcodeWritesItAmongTheViewsChildren) {
  const struct {
    std::string name;
    std::vector<std::string> children;
    std::size_t place;  // the new child's index among the children
  } cases[] = {
      {"view", {}, 0},
      {"view", {kFrame}, 1},
      {"view", {kFrame, kMask, kSubviews, kBackground}, 4},
      {"view", {kFrame, kMask, kBackground, kConstraints}, 3},
      {"label", {kFrame, kFont, kState}, 1},
      {"view", {kConnections}, 0},
      {"view", {kFrame, kRuntime, kConnections}, 1},
      {"view", {kConstraints, kFrame}, 0},  // nothing after an after-kind counts as before
      {"view", {kFrame, kBackground, kTint, kConstraints}, 3},
      {"button", {kFrame, kBackground, kTint, kState}, 2},
      {"button", {kFrame, kFont, kTint, kState}, 1},
      {"view", {kFrame, kUnknown}, 1},  // a kind the table does not know follows the new child
      {"view", {kUnknown, kFrame, kUnknown}, 2},
      {"imageView", {kFrame, kAnimations, kSymbol}, 2},
      {"view", {kFrame, kAnimations, kVariation}, 2},
      {"collectionViewCell", {kFrame, kCellContent}, 2},
      {"collectionViewCell", {kFrame, kContentView}, 2},
  };
  for (const auto& c : cases) {
    std::vector<std::string> expected = c.children;
    expected.insert(expected.begin() + static_cast<long>(c.place), kHolder);
    const IdentifierInsertion result = insertAccessibilityIdentifiers(view(c.name, c.children));
    EXPECT_EQ(result.text, view(c.name, expected)) << c.name << " with " << c.children.size() << " children";
    EXPECT_EQ(result.counts.added, 1u);
  }
}

TEST(IdentifierInsertionTest, AnAccessibilityChildWithoutIdentifierGetsItAfterKeyInAlphabeticalOrder) {
  const std::string before = "<document>\n<view contentMode=\"a\" id=\"v-1\">\n    ";
  const std::string after = "\n</view>\n</document>";
  const std::pair<std::string, std::string> cases[] = {
      {R"(<accessibility key="accessibilityConfiguration"/>)",
       R"(<accessibility key="accessibilityConfiguration" identifier="v-1"/>)"},
      {R"(<accessibility key="accessibilityConfiguration" hint="H" label="L"/>)",
       R"(<accessibility key="accessibilityConfiguration" hint="H" identifier="v-1" label="L"/>)"},
      {R"(<accessibility key="accessibilityConfiguration" label="L"><bool key="isElement" value="YES"/></accessibility>)",
       R"(<accessibility key="accessibilityConfiguration" identifier="v-1" label="L"><bool key="isElement" value="YES"/></accessibility>)"},
      {R"(<accessibility key="accessibilityConfiguration">)" "\n    </accessibility>",
       R"(<accessibility key="accessibilityConfiguration" identifier="v-1">)" "\n    </accessibility>"},
      {R"(<accessibility label='L' key='k'/>)", R"(<accessibility identifier='v-1' label='L' key='k'/>)"},
      {R"(<accessibility/>)", R"(<accessibility identifier="v-1"/>)"},
      // An identifier already there is kept, whatever it is.
      {R"(<accessibility key="accessibilityConfiguration" identifier="Mine"/>)",
       R"(<accessibility key="accessibilityConfiguration" identifier="Mine"/>)"},
  };
  for (const auto& [holder, expected] : cases) {
    EXPECT_EQ(insertAccessibilityIdentifiers(before + holder + after).text, before + expected + after) << holder;
  }
}

TEST(IdentifierInsertionTest, EveryByteOutsideTheInsertionStaysAsItWas) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::pair<std::string, std::string> cases[] = {
      // CRLF line ends, a BOM, a comment and entity forms in other attributes.
      {bom +
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<document>\r\n    <!-- a <view> -->\r\n"
           "    <view contentMode=\"a\" id=\"v-1\" text=\"&quot;x&#10;\">\r\n        " +
           kFrame + "\r\n    </view>\r\n</document>\r\n",
       bom +
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<document>\r\n    <!-- a <view> -->\r\n"
           "    <view contentMode=\"a\" id=\"v-1\" text=\"&quot;x&#10;\">\r\n        " +
           kFrame + "\r\n        " + kHolder + "\r\n    </view>\r\n</document>\r\n"},
      // Lines that end in a carriage return alone.
      {"<document>\r    <objects>\r        <view contentMode=\"a\" id=\"v-1\">\r            " + kFrame +
           "\r        </view>\r    </objects>\r</document>\r",
       "<document>\r    <objects>\r        <view contentMode=\"a\" id=\"v-1\">\r            " + kFrame +
           "\r            " + kHolder + "\r        </view>\r    </objects>\r</document>\r"},
      // Tabs, a self-closing view opened at its own indentation, and no final newline.
      {"<document>\n\t<objects>\n\t\t<imageView contentMode=\"a\" id=\"v-1\"/>\n\t</objects>\n</document>",
       "<document>\n\t<objects>\n\t\t<imageView contentMode=\"a\" id=\"v-1\">\n\t\t\t" + kHolder +
           "\n\t\t</imageView>\n\t</objects>\n</document>"},
      // A view with an end tag and nothing in it, on one line and on two.
      {"<document>\n  <view contentMode=\"a\" id=\"v-1\"></view>\n</document>\n",
       "<document>\n  <view contentMode=\"a\" id=\"v-1\">\n    " + kHolder + "\n  </view>\n</document>\n"},
      {"<document>\n  <view contentMode=\"a\" id=\"v-1\">\n  </view>\n</document>\n",
       "<document>\n  <view contentMode=\"a\" id=\"v-1\">\n    " + kHolder + "\n  </view>\n</document>\n"},
      // The id escaped as the file escapes attribute values.
      {"<document>\n    <view contentMode=\"a\" id=\"a&amp;&lt;&quot;&gt;b\"/>\n    <x "
       "t=\"&gt;\"/>\n</document>\n",
       "<document>\n    <view contentMode=\"a\" id=\"a&amp;&lt;&quot;&gt;b\">\n        "
       "<accessibility key=\"accessibilityConfiguration\" identifier=\"a&amp;&lt;&quot;&gt;b\"/>\n    "
       "</view>\n"
       "    <x t=\"&gt;\"/>\n</document>\n"},
      {"<document>\n    <view contentMode=\"a\" id=\"a>b\"/>\n</document>\n",
       "<document>\n    <view contentMode=\"a\" id=\"a>b\">\n        "
       "<accessibility key=\"accessibilityConfiguration\" identifier=\"a>b\"/>\n    </view>\n</document>\n"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(insertAccessibilityIdentifiers(input).text, expected);
}

TEST(IdentifierInsertionTest, NestedViewsEachGetTheirOwnAndUnreadableInputThrows) {
  const std::string input =
      "<document>\n    <view contentMode=\"a\" id=\"outer\">\n        " + kFrame +
      "\n        <subviews>\n            <label contentMode=\"left\" id=\"inner\"/>\n        </subviews>\n"
      "        " + kConstraints + "\n    </view>\n</document>\n";
  const IdentifierInsertion result = insertAccessibilityIdentifiers(input);
  EXPECT_EQ(result.text,
            "<document>\n    <view contentMode=\"a\" id=\"outer\">\n        " + kFrame +
                "\n        <subviews>\n            <label contentMode=\"left\" id=\"inner\">\n"
                "                <accessibility key=\"accessibilityConfiguration\" identifier=\"inner\"/>\n"
                "            </label>\n        </subviews>\n"
                "        <accessibility key=\"accessibilityConfiguration\" identifier=\"outer\"/>\n        " +
                kConstraints + "\n    </view>\n</document>\n");
  EXPECT_EQ(result.counts.views, 2u);
  EXPECT_EQ(result.counts.added, 2u);
  const std::string unreadable[] = {"<document><view contentMode=\"a\" id=\"x\">", std::string("\xFF\xFE<\0d\0/\0>\0", 10),
                                    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><d/>"};
  for (const std::string& bad : unreadable) {
    EXPECT_THROW(insertAccessibilityIdentifiers(bad), xml::XmlSyntaxError) << bad;
  }
  try {
    insertAccessibilityIdentifiers(unreadable[2]);
  } catch (const xml::XmlSyntaxError& error) {
    EXPECT_NE(error.description().find("only files in UTF-8 are changed where they lie"), std::string::npos);
  }
}

// The file on disk: rewritten only when it gains something, never when it changed meanwhile,
// and never by a dry run.
TEST(IdentifierInsertionTest, AFileIsWrittenOnlyWhenItGainsAndIsStillAsItWasRead) {
  using Call = testing::FaultInjectingFileManager::Call;
  const std::string original = "<document>\n    <view contentMode=\"a\" id=\"v-1\"/>\n</document>\n";
  const testing::TemporaryFolder temp;
  const testing::FaultInjectingFileManager disk(std::make_shared<files::PosixFileManager>());
  const std::string path = temp.write("Main.xib", original);
  const files::FilePlace place{disk.openFolder(temp.path()), "Main.xib"};

  PlannedInsertions planned;
  EXPECT_EQ(insertAccessibilityIdentifiers(place, &planned).added, 1u);
  EXPECT_EQ(testing::readFile(path), original);
  EXPECT_EQ(support::appliedEdits(planned.contents, planned.insertions.edits),
            insertAccessibilityIdentifiers(original).text);
  EXPECT_EQ(disk.calls(Call::write), 0);

  // The user saves the file between the read and the write: their text stays.
  const std::string edited = original + "<!-- saved meanwhile -->\n";
  disk.fail(Call::write, 1, 0, [&] { temp.write("Main.xib", edited); });
  try {
    insertAccessibilityIdentifiers(place);
    ADD_FAILURE() << "a file changed meanwhile was written over";
  } catch (const files::FileIOError& error) {
    EXPECT_EQ(error.reason(), "it was changed by someone else while it was rewritten");
  }
  EXPECT_EQ(testing::readFile(path), edited);

  EXPECT_EQ(insertAccessibilityIdentifiers(place).added, 1u);
  EXPECT_EQ(testing::readFile(path), insertAccessibilityIdentifiers(edited).text);
  const int writes = disk.calls(Call::write);
  EXPECT_EQ(insertAccessibilityIdentifiers(place).kept, 1u);
  EXPECT_EQ(disk.calls(Call::write), writes);
}

}  // namespace
}  // namespace korvaster
