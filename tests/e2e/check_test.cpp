// `korvaster check` on a small project: what each format shows, what the exit status says,
// and that nothing is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

namespace fs = std::filesystem;

const std::string kMain = R"(<?xml version="1.0" encoding="UTF-8"?>
<document>
    <view contentMode="scaleToFill" id="v-1">
        <accessibility key="accessibilityConfiguration" identifier="title"/>
        <subviews>
            <label contentMode="left" id="l-1"/>
            <button contentMode="center" id="b-1">
                <accessibility key="accessibilityConfiguration" identifier="title"/>
            </button>
        </subviews>
    </view>
</document>
)";
const std::string kView = R"(<document><view contentMode="s" id="p-1"/></document>)";

class CheckCommandTest : public KorvasterTest {
 protected:
  CheckCommandTest() {
    temp.write("App/Main.storyboard", kMain);
    temp.write("App/Broken.xib", R"(<document><view contentMode="s" id="x">)");
    temp.write(
        "App/Clean.xib",
        R"(<document><view contentMode="s" id="c-1"><accessibility identifier="c"/></view></document>)");
    temp.write("App/Pods/Lib/Lib.xib", kView);
  }
  ChildOutcome check(std::vector<std::string> options) {
    std::vector<std::string> arguments{"check", "--path", "App", "--exclude", "Pods/**"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return korvaster(arguments, temp.path());
  }
};

TEST_F(CheckCommandTest, FindingsComeInEachFormatAndTheStatusSaysWhetherAnyWereFound) {
  const std::string broken = "XML syntax error at line 1, column 40: no element found";
  const std::string duplicate =
      "button 'b-1' uses accessibility identifier 'title', already used by 'v-1' at line 3";
  const std::string summary =
      "Checked 3 Interface Builder files: 4 views, 1 without an accessibility identifier, 1 duplicate "
      "identifiers, "
      "1 unreadable.\n";
  const struct {
    std::vector<std::string> options;
    std::string output;
  } cases[] = {
      {{},
       "App/Broken.xib:1: error: " + broken +
           "\n"
           "App/Main.storyboard:6:13: warning: label 'l-1' has no accessibility identifier\n"
           "App/Main.storyboard:7:13: warning: " +
           duplicate + "\n" + summary},
      {{"--format", "github"},
       "::error file=App/Broken.xib,line=1::" + broken +
           "\n"
           "::warning file=App/Main.storyboard,line=6,col=13::label 'l-1' has no accessibility identifier\n"
           "::warning file=App/Main.storyboard,line=7,col=13::" +
           duplicate + "\n" + summary},
      {{"--format=json"},
       "{\n  \"files\": [\n    {\n      \"path\": \"App/Broken.xib\",\n      \"error\": \"" + broken +
           "\"\n    },\n"
           "    {\n      \"path\": \"App/Clean.xib\",\n      \"views\": 1,\n      \"missing\": 0,\n      "
           "\"duplicates\": 0,\n"
           "      \"findings\": []\n    },\n"
           "    {\n      \"path\": \"App/Main.storyboard\",\n      \"views\": 3,\n      \"missing\": 1,\n"
           "      \"duplicates\": 1,\n      \"findings\": [\n"
           "        {\n          \"kind\": \"missingIdentifier\",\n          \"line\": 6,\n          "
           "\"column\": 13,\n"
           "          \"element\": \"label\",\n          \"id\": \"l-1\",\n"
           "          \"message\": \"label 'l-1' has no accessibility identifier\"\n        },\n"
           "        {\n          \"kind\": \"duplicateIdentifier\",\n          \"line\": 7,\n          "
           "\"column\": 13,\n"
           "          \"element\": \"button\",\n          \"id\": \"b-1\",\n          \"identifier\": "
           "\"title\",\n"
           "          \"firstId\": \"v-1\",\n          \"firstLine\": 3,\n          \"message\": \"" +
           duplicate +
           "\"\n"
           "        }\n      ]\n    }\n  ],\n"
           "  \"summary\": {\n    \"files\": 3,\n    \"views\": 4,\n    \"missing\": 1,\n    \"duplicates\": "
           "1,\n"
           "    \"unreadable\": 1\n  }\n}\n"},
  };
  for (const auto& c : cases) {
    const auto outcome = check(c.options);
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.standardOutput, c.output);
    EXPECT_EQ(outcome.standardError, "");
  }

  // Nothing left to find: status 0. Nothing was written, not even the working folder.
  const auto clean = check({"--exclude", "Broken.xib", "--exclude", "**/Main.storyboard"});
  EXPECT_EQ(clean.exitStatus, 0);
  EXPECT_EQ(clean.standardOutput,
            "Checked 1 Interface Builder files: 1 views, 0 without an accessibility identifier, 0 duplicate "
            "identifiers, 0 unreadable.\n");
  EXPECT_TRUE(fs::is_empty(temp / "home"));
  EXPECT_EQ(readFile(temp / "App/Main.storyboard"), kMain);
  EXPECT_EQ(entryNames(temp / "App"),
            (std::vector<std::string>{"Broken.xib", "Clean.xib", "Main.storyboard", "Pods"}));
  // A path outside the current directory is shown from where the run started.
  const auto outside = korvaster({"check", "-p", temp / "App", "--exclude", "Pods", "--exclude", "Broken.xib"}, "/");
  EXPECT_EQ(outside.exitStatus, 1);
  EXPECT_EQ(outside.standardOutput.rfind(temp.path().substr(1) + "/App/Main.storyboard:6:13: warning: label", 0), 0u)
      << outside.standardOutput;
}

}  // namespace
}  // namespace korvaster::testing
