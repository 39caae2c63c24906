// `korvaster check` on a small project: each format once, what the exit status says, and
// that nothing is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

// A label without an identifier, and a button that reuses its parent's.
const std::string kMain =
    "<document>\n  <view contentMode=\"scaleToFill\" id=\"v-1\">\n    <accessibility identifier=\"title\"/>\n"
    "    <label contentMode=\"left\" id=\"l-1\"/>\n"
    "    <button contentMode=\"center\" id=\"b-1\"><accessibility identifier=\"title\"/></button>\n"
    "  </view>\n</document>\n";

using CheckCommandTest = KorvasterTest;

TEST_F(CheckCommandTest, FindingsComeInEachFormatAndTheStatusSaysWhetherAnyWereFound) {
  temp.write("App/Main.storyboard", kMain);
  temp.write("App/Broken.xib", R"(<document><view contentMode="s" id="x">)");
  temp.write("App/Pods/Lib.xib", R"(<document><view contentMode="s" id="c"><accessibility identifier="c"/></view>)"
                                 "</document>");
  const std::string broken = "XML syntax error at line 1, column 40: no element found";
  const std::string missing = "label 'l-1' has no accessibility identifier";
  const std::string duplicate = "button 'b-1' uses accessibility identifier 'title', already used by 'v-1' at line 2";
  const std::string summary = "Checked 2 Interface Builder files: 3 views, 1 without an accessibility identifier, "
                              "1 duplicate identifiers, 1 unreadable.\n";
  // Run from the root, a path outside the current directory is shown from there.
  const std::string shown = temp.path().substr(1) + "/App/";
  const struct {
    std::string format, cwd, output;
  } cases[] = {
      {"text", temp.path(),
       "App/Broken.xib:1: error: " + broken + "\nApp/Main.storyboard:4:5: warning: " + missing +
           "\nApp/Main.storyboard:5:5: warning: " + duplicate + "\n" + summary},
      {"github", "/",
       "::error file=" + shown + "Broken.xib,line=1::" + broken + "\n::warning file=" + shown +
           "Main.storyboard,line=4,col=5::" + missing + "\n::warning file=" + shown +
           "Main.storyboard,line=5,col=5::" + duplicate + "\n" + summary},
      {"json", temp.path(),
       "{\n  \"files\": [\n    {\n      \"path\": \"App/Broken.xib\",\n      \"error\": \"" + broken +
           "\"\n    },\n    {\n      \"path\": \"App/Main.storyboard\",\n      \"views\": 3,\n"
           "      \"missing\": 1,\n      \"duplicates\": 1,\n      \"findings\": [\n        {\n"
           "          \"kind\": \"missingIdentifier\",\n          \"line\": 4,\n          \"column\": 5,\n"
           "          \"element\": \"label\",\n          \"id\": \"l-1\",\n          \"message\": \"" + missing +
           "\"\n        },\n        {\n          \"kind\": \"duplicateIdentifier\",\n          \"line\": 5,\n"
           "          \"column\": 5,\n          \"element\": \"button\",\n          \"id\": \"b-1\",\n"
           "          \"identifier\": \"title\",\n          \"firstId\": \"v-1\",\n          \"firstLine\": 2,\n"
           "          \"message\": \"" + duplicate + "\"\n        }\n      ]\n    }\n  ],\n  \"summary\": {\n"
           "    \"files\": 2,\n    \"views\": 3,\n    \"missing\": 1,\n    \"duplicates\": 1,\n"
           "    \"unreadable\": 1\n  }\n}\n"},
  };
  for (const auto& c : cases) {
    const std::string path = c.cwd == "/" ? temp / "App" : "App";
    const auto outcome = korvaster({"check", "--path", path, "--exclude", "Pods/**", "--format=" + c.format}, c.cwd);
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.standardOutput, c.output);
    EXPECT_EQ(outcome.standardError, "");
  }
  // Nothing left to find: status 0. Nothing was written, not even the working folder.
  const auto clean = korvaster({"check", "-p", temp / "App/Pods"});
  EXPECT_EQ(clean.exitStatus, 0);
  EXPECT_EQ(clean.standardOutput, "Checked 1 Interface Builder files: 1 views, 0 without an accessibility identifier, "
                                  "0 duplicate identifiers, 0 unreadable.\n");
  EXPECT_TRUE(std::filesystem::is_empty(temp / "home"));
  EXPECT_EQ(readFile(temp / "App/Main.storyboard"), kMain);
  EXPECT_EQ(entryNames(temp / "App"), (std::vector<std::string>{"Broken.xib", "Main.storyboard", "Pods"}));
}

}  // namespace
}  // namespace korvaster::testing
