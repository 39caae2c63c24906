// `korvaster build` with the fake xcodebuild: where xcodebuild's output goes, and how the run ends.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

namespace fs = std::filesystem;
using BuildCommandTest = KorvasterTest;

TEST_F(BuildCommandTest, BuildOnlyArchivesAndExportsTheProjectInPlaceAndShowsOnlyXcodebuildsErrors) {
  const auto outcome = korvaster({"build", "-p", temp / "SampleApp", "-e", makeSampleApp(), "--buildonly"}, "",
                                 {{"FAKE_XCODEBUILD_LOG", temp / "xcodebuild.log"}});
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardError;
  EXPECT_EQ(outcome.standardOutput, "");
  for (const char* action : {"archive", "export"}) {
    EXPECT_NE(outcome.standardError.find("\nfake xcodebuild: " + std::string(action) + " on standard error\n"),
              std::string::npos);
  }
  EXPECT_EQ(logLines(outcome.standardError).back(),
            "[\u2139\uFE0F] KorvastLoger -> Your ipa file located at " + builds + "SampleApp/");
  EXPECT_NE(readFile(temp / "xcodebuild.log").find("-workspace\n" + temp / "SampleApp/SampleApp.xcworkspace\n"),
            std::string::npos);
  // Build-only keeps the archive and makes no copy.
  EXPECT_EQ(entryNames(builds + "SampleApp"), (std::vector<std::string>{"SampleApp.ipa", "SampleApp.xcarchive",
                                                                        "xcodebuild-archive.log", "xcodebuild-export.log"}));
  EXPECT_TRUE(fs::is_empty(projects));
}

TEST_F(BuildCommandTest, VerboseShowsXcodebuildsOutput) {
  const auto outcome = korvaster({"build", "-p", temp / "SampleApp", "-e", makeSampleApp(), "-v"});
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardError;
  EXPECT_EQ(outcome.standardOutput,
            "fake xcodebuild: archive on standard output\nfake xcodebuild: export on standard output\n");
}

TEST_F(BuildCommandTest, WithoutXcodebuildOnThePathTheArchiveFailsAndTheReportSaysWhy) {
  const auto outcome = korvaster({"build", "-p", temp / "SampleApp", "-e", makeSampleApp()}, "",
                                 {{"PATH", temp / "empty-path"}});
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_NE(outcome.standardOutput.find("Error code - 127."), std::string::npos) << outcome.standardOutput;
}

}  // namespace
}  // namespace korvaster::testing
