// What `modify` and `build` leave for the user and for CI besides the copy: the --report
// document and xcodebuild's logs.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

namespace fs = std::filesystem;

using RunReportTest = KorvasterTest;

// The report with its duration, which no test can know, set to 0.
std::string reportAt(const std::string& path) {
  std::string report = readFile(path);
  const std::string key = "\"durationSeconds\": ";
  if (const auto at = report.find(key); at != std::string::npos) {
    const auto value = at + key.size();
    report.replace(value, report.find(',', value) - value, "0");
  }
  return report;
}

TEST_F(RunReportTest, AModifyReportsEachFileWithItsCountsOrItsError) {
  temp.write("App/A.xib",
             R"(<document><view contentMode="s" id="a-1"><accessibility identifier="kept"/></view>)"
             R"(<view contentMode="s" id="a-2"/></document>)");
  temp.write("App/B.xib", "<document><view>");
  const auto outcome = korvaster({"modify", "-p", "App", "--report", "run.json"}, temp.path());
  ASSERT_EQ(outcome.exitStatus, 0) << outcome.standardError;
  EXPECT_EQ(
      reportAt(temp / "run.json"),
      "{\n  \"command\": \"modify\",\n  \"status\": \"succeeded\",\n  \"error\": null,\n"
      "  \"durationSeconds\": 0,\n  \"copyPath\": \"" +
          projects +
          "App/\",\n"
          "  \"interfaceBuilderFiles\": [\n"
          "    {\n      \"path\": \"" +
          projects +
          "App/A.xib\",\n      \"views\": 2,\n"
          "      \"identifiersAdded\": 1,\n      \"identifiersKept\": 1\n    },\n"
          "    {\n      \"path\": \"" +
          projects +
          "App/B.xib\",\n"
          "      \"error\": \"The operation couldn't be completed. (korvaster.XmlSyntaxError error 3.) XML "
          "syntax "
          "error at line 1, column 17: no element found\"\n    }\n  ],\n"
          "  \"totals\": {\n    \"files\": 2,\n    \"updated\": 1,\n    \"failed\": 1,\n    \"views\": 2,\n"
          "    \"identifiersAdded\": 1,\n    \"identifiersKept\": 1\n  }\n}\n");
  EXPECT_EQ(permissionsOf(temp / "run.json"), 0644u);
}

TEST_F(RunReportTest, XcodebuildsOutputIsKeptPerRunAndAFailedBuildNamesItsLogAndIsReported) {
  const std::string plist = makeSampleApp();
  auto outcome = korvaster({"build", "-p", temp / "SampleApp", "-e", plist, "--report", temp / "failed.json"},
                           "", {{"FAKE_XCODEBUILD_ARCHIVE_STATUS", "65"}});
  EXPECT_EQ(outcome.exitStatus, 1);
  const std::string archiveLog = builds + "SampleApp/xcodebuild-archive.log";
  const auto lines = logLines(outcome.standardError);
  EXPECT_EQ(lines.back(), "[\U0001F525] KorvastLoger -> The output of xcodebuild is in " + archiveLog);
  EXPECT_EQ(readFile(archiveLog),
            "fake xcodebuild: archive on standard output\nfake xcodebuild: archive on standard error\n");
  const std::string report = reportAt(temp / "failed.json");
  for (const std::string& part :
       std::vector<std::string>{"\"status\": \"failed\",\n  \"error\": \"Can't build archive. Error code - "
                                "65. Use --verbose parameter to print "
                                "xcodebuild output.\"",
                                "\"copyRemoved\": true", "\"archivePath\": null",
                                "\"xcodebuild\": [\n    {\n      \"action\": \"archive\",\n      "
                                "\"exitStatus\": 65,\n      \"log\": \"" +
                                    archiveLog + "\"\n    }\n  ],\n  \"ipaFiles\": []\n}"}) {
    EXPECT_NE(report.find(part), std::string::npos) << part << "\nnot in\n" << report;
  }

  // Each run's log is made anew; an .ipa the export did not write is not this run's.
  for (int run = 0; run < 2; ++run) {
    if (run == 1) temp.write("home/.korvast/CommandLineTool/AppBuilds/SampleApp/Old.ipa", "old");
    outcome = korvaster(
        {"build", "-p", temp / "SampleApp", "-e", plist, "--buildonly", "--report", temp / "ok.json"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardError;
    EXPECT_EQ(readFile(archiveLog),
              "fake xcodebuild: archive on standard output\nfake xcodebuild: archive on standard error\n");
    EXPECT_EQ(readFile(builds + "SampleApp/xcodebuild-export.log"),
              "fake xcodebuild: export on standard output\nfake xcodebuild: export on standard error\n");
    EXPECT_NE(reportAt(temp / "ok.json")
                  .find("\"ipaFiles\": [\n    \"" + builds + "SampleApp/SampleApp.ipa\"\n  ]"),
              std::string::npos)
        << reportAt(temp / "ok.json");
    fs::remove_all(builds + "SampleApp/SampleApp.xcarchive");
  }
}

}  // namespace
}  // namespace korvaster::testing
