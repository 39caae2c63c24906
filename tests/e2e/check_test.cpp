// `korvaster check` on a small project: each format once, what the exit status says, and
// that nothing is written; and on a large file, the memory it takes.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <fstream>

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
                              "1 duplicate identifier, 1 unreadable.\n";
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
  EXPECT_EQ(clean.standardOutput, "Checked 1 Interface Builder file: 1 view, 0 without an accessibility identifier, "
                                  "0 duplicate identifiers, 0 unreadable.\n");
  EXPECT_TRUE(std::filesystem::is_empty(temp / "home"));
  EXPECT_EQ(readFile(temp / "App/Main.storyboard"), kMain);
  EXPECT_EQ(entryNames(temp / "App"), (std::vector<std::string>{"Broken.xib", "Main.storyboard", "Pods"}));
}

// Findings are written as each file is done, and a scan keeps only what they show: however many
// a file has, the run needs about twice the file's size (its contents and its findings). Holding
// every finding first took six times the file in text and fourteen in JSON.
TEST_F(CheckCommandTest, PeakMemoryStaysNearTwiceTheFileHoweverManyFindingsItHas) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory would swamp the measure";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizers' own memory would swamp the measure";
#endif
#endif
  // Every other view lacks an identifier, the rest all repeat one. Written as it is made: a
  // child starts with its parent's resident memory counted in its peak, so the test keeps little.
  {
    std::ofstream file(temp.makeFolder("Big") + "Big.xib", std::ios::binary);
    file << "<document>\n";
    for (int view = 0; view < 160000; ++view) {
      file << "<view contentMode=\"s\" id=\"" << 1000000 + view
           << (view % 2 == 0 ? "\"/>\n" : "\"><accessibility identifier=\"t\"/></view>\n");
    }
    file << "</document>\n";
  }
  const auto fileKilobytes = static_cast<long>(std::filesystem::file_size(temp / "Big/Big.xib") / 1024);
  struct rusage own {};
  ASSERT_EQ(::getrusage(RUSAGE_SELF, &own), 0);
#if defined(__APPLE__)
  const long ownKilobytes = own.ru_maxrss / 1024;
#else
  const long ownKilobytes = own.ru_maxrss;
#endif
  ASSERT_LT(ownKilobytes, 2 * fileKilobytes) << "the test itself holds too much for the measure to mean much";
  for (const char* format : {"text", "json"}) {
    // The output goes to a full device: the findings are made and written all the same, and the
    // test need not read them back into its own memory.
    const auto outcome = finishChild(start({"check", "--path", temp / "Big", "--format", format}, {}, "",
                                           StandardOutput::fullDevice));
    EXPECT_EQ(outcome.exitStatus, 1) << format;
    EXPECT_LT(outcome.peakResidentKilobytes, 4 * fileKilobytes)
        << format << ": " << outcome.peakResidentKilobytes << " KiB at the peak for a file of "
        << fileKilobytes << " KiB";
  }
}

}  // namespace
}  // namespace korvaster::testing
