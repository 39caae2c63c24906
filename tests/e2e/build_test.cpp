// `korvaster build` as a user runs it, with HOME in a temporary folder and our fake
// xcodebuild first on PATH.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "e2e/child_process.h"
#include "temporary_folder.h"

namespace korvaster::testing {
namespace {

namespace fs = std::filesystem;

const std::string kInfo = "[\u2139\uFE0F] KorvastLoger -> ";
const std::string kError = "[\U0001F525] KorvastLoger -> ";
const std::string kExportOptions =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
    "<key>method</key><string>ad-hoc</string>"
    "<key>korvast_scheme</key><string>SampleApp</string>"
    "<key>korvast_configuration</key><string>Release</string>"
    "<key>korvast_workspace</key><string>SampleApp.xcworkspace</string></dict></plist>";

class BuildCommandTest : public ::testing::Test {
 protected:
  BuildCommandTest() {
    temp.makeFolder("home");
    fs::copy(KORVASTER_EXAMPLE_PROJECT, temp / "SampleApp", fs::copy_options::recursive);
    plist = temp.write("ExportOptions.plist", kExportOptions);
  }

  ChildOutcome build(std::vector<std::string> arguments,
                     std::map<std::string, std::string> environment = {}) {
    arguments.insert(arguments.begin(), "build");
    environment["HOME"] = temp / "home";
    const char* path = std::getenv("PATH");
    environment["PATH"] =
        std::string(KORVASTER_FAKE_XCODEBUILD_DIR) + ":" + (path != nullptr ? path : "/usr/bin:/bin");
    environment["FAKE_XCODEBUILD_LOG"] = temp / "xcodebuild.log";
    return runChild(KORVASTER_BINARY, arguments, environment);
  }

  // The recorded xcodebuild calls, one list of arguments each.
  std::vector<std::vector<std::string>> calls() {
    std::vector<std::vector<std::string>> result(1);
    std::istringstream log(readFile(temp / "xcodebuild.log"));
    for (std::string line; std::getline(log, line);) {
      if (line == "--") {
        result.emplace_back();
      } else {
        result.back().push_back(line);
      }
    }
    result.pop_back();
    return result;
  }

  std::string builds() { return temp / "home/.korvast/CommandLineTool/AppBuilds/"; }
  std::string projects() { return temp / "home/.korvast/CommandLineTool/Projects/"; }

  TemporaryFolder temp;
  std::string plist;
};

TEST_F(BuildCommandTest, BuildOnlyArchivesAndExportsTheProjectInPlace) {
  const auto outcome = build({"--path", temp / "SampleApp", "--export", plist, "--buildonly"});
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardOutput << outcome.standardError;
  const std::string folder = builds() + "SampleApp/";
  // Without verbose, xcodebuild's standard output is not shown; its standard error is.
  EXPECT_EQ(logLines(outcome.standardError),
            (std::vector<std::string>{
                kInfo + "Archiving the project...", "fake xcodebuild: archive on standard error",
                kInfo + "Exporting archive...", "fake xcodebuild: export on standard error",
                kInfo + "Your ipa file located at " + folder}));
  EXPECT_EQ(outcome.standardOutput, "");
  ASSERT_EQ(calls().size(), 2u);
  EXPECT_EQ(calls()[0][3], temp / "SampleApp/SampleApp.xcworkspace");
  EXPECT_TRUE(fs::exists(folder + "SampleApp.ipa"));
  EXPECT_TRUE(fs::exists(folder + "SampleApp.xcarchive"));  // build-only keeps the archive
  EXPECT_FALSE(fs::exists(projects() + "SampleApp"));       // and makes no copy
  EXPECT_EQ(readFile(temp / "SampleApp/SampleApp/Views/BannerView.xib"),
            readFile(std::string(KORVASTER_EXAMPLE_PROJECT) + "/SampleApp/Views/BannerView.xib"));
}

TEST_F(BuildCommandTest, ModifyAndBuildLeavesOnlyTheExport) {
  const auto outcome = build({"-p", temp / "SampleApp", "-e", plist, "-s", "Other", "-v"});
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardOutput << outcome.standardError;
  const std::string folder = builds() + "SampleApp/";
  const auto recorded = calls();
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[0][1], "Other");  // the command line wins over the list
  EXPECT_EQ(recorded[0][3], projects() + "SampleApp/SampleApp.xcworkspace");
  EXPECT_EQ(recorded[0].back(), "-verbose");
  EXPECT_NE(outcome.standardOutput.find("fake xcodebuild: archive on standard output"), std::string::npos);
  EXPECT_EQ(logLines(outcome.standardError).back(), kInfo + "Your ipa file located at " + folder);
  EXPECT_TRUE(fs::exists(folder + "SampleApp.ipa"));
  EXPECT_FALSE(fs::exists(folder + "SampleApp.xcarchive"));
  EXPECT_FALSE(fs::exists(projects() + "SampleApp"));
}

TEST_F(BuildCommandTest, NoXcodebuildOnThePathFailsTheArchive) {
  const auto outcome = runChild(KORVASTER_BINARY, {"build", "-p", temp / "SampleApp", "-e", plist, "-b"},
                                {{"HOME", temp / "home"}, {"PATH", temp / "empty-path"}});
  EXPECT_EQ(
      outcome.standardOutput,
      "Whoops! An error occurred: Can't build archive. Error code - 127. Use --verbose parameter to print "
      "xcodebuild output.\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

}  // namespace
}  // namespace korvaster::testing
