// What a run may delete, and what an interrupted or concurrent run leaves: the user's data
// whole, and at the reported path only a complete copy.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

void sleepFor(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Fails for each process named in `pidFile` that is still there after a while.
void expectGone(const std::string& pidFile) {
  std::istringstream pids(readFile(pidFile));
  for (int pid = 0; pids >> pid;) {
    bool gone = false;
    for (int wait = 0; wait < 100 && !(gone = ::kill(pid, 0) != 0); ++wait) sleepFor(20);
    EXPECT_TRUE(gone) << "process " << pid << " outlived the run";
  }
}

class SafetyTest : public KorvasterTest {
 protected:
  // A project of `files` Swift files and `views` IB files, `tag` written into each file.
  void makeProject(const std::string& relative, int files, int views, const std::string& tag = "") {
    for (int index = 0; index < files; ++index) {
      temp.write(relative + "/Sources/" + std::to_string(index % 20) + "/f" + std::to_string(index) + ".swift", tag);
    }
    for (int index = 0; index < views; ++index) {
      temp.write(relative + "/Views/v" + std::to_string(index) + ".xib",
                 R"(<document><view contentMode="s" id="v-)" + tag + std::to_string(index) +
                     R"("><string key="text">Price:  </string></view></document>)");
    }
  }
  // Fails unless `copy` holds exactly the files of `project` and the mark, every IB file with
  // its identifier and its text kept: nothing missing, mixed in or temporary.
  void expectCompleteCopy(const std::string& project, const std::string& copy) {
    std::set<std::string> expected{".korvaster-copy"}, found;
    for (const auto& entry : fs::recursive_directory_iterator(project)) {
      if (entry.is_regular_file()) expected.insert(fs::relative(entry.path(), project));
    }
    for (const auto& entry : fs::recursive_directory_iterator(copy)) {
      if (!entry.is_regular_file()) continue;
      found.insert(fs::relative(entry.path(), copy));
      if (entry.path().extension() != ".xib") continue;
      const std::string text = readFile(entry.path());
      EXPECT_TRUE(text.find("identifier=\"v-") != std::string::npos && text.find(">Price:  <") != std::string::npos)
          << entry.path();
    }
    EXPECT_EQ(found, expected);
  }
};

TEST_F(SafetyTest, NoSpellingOfThePathReachesSiblingsOrEarlierCopies) {
  makeProject("w/MyApp", 3, 2);
  temp.write("w/Other/keep", "sibling");
  temp.write("home/.korvast/CommandLineTool/Projects/Earlier/keep", "earlier copy");
  ASSERT_EQ(::symlink((temp / "w").c_str(), (temp / "alias").c_str()), 0);

  // From inside the project, "." is the project by its own name.
  EXPECT_EQ(korvaster({"modify", "--path", "."}, temp / "w/MyApp").exitStatus, 0);
  for (const char* spelling : {"w/MyApp/.", "w/MyApp//", "alias/MyApp"}) {
    EXPECT_EQ(korvaster({"modify", "--path", temp / spelling}).exitStatus, 0) << spelling;
  }
  // A copy onto the project itself is refused, and nothing deleted; the in-process tests of the
  // copy hold each other refusal.
  EXPECT_EQ(korvaster({"modify", "--path", ".", "--output", ".."}, temp / "w/MyApp").exitStatus, 1);
  EXPECT_EQ(readFile(temp / "w/Other/keep"), "sibling");
  EXPECT_EQ(readFile(projects + "Earlier/keep"), "earlier copy");
  EXPECT_EQ(entryNames(temp / "w"), (Names{"MyApp", "Other"}));
  EXPECT_EQ(entryNames(projects), (Names{"Earlier", "MyApp"}));
  expectCompleteCopy(temp / "w/MyApp", projects + "MyApp");
}

TEST_F(SafetyTest, AnInterruptedRunLeavesTheEarlierCopyOrTheNewOneAndNothingTemporary) {
  makeProject("App", 1500, 150);
  ASSERT_EQ(korvaster({"modify", "--path", temp / "App"}).exitStatus, 0);
  // SIGTERM at different moments; SIGKILL last, whose staging folder the next run removes.
  const std::pair<int, int> runs[] = {{SIGTERM, 0},   {SIGTERM, 5},   {SIGTERM, 20}, {SIGTERM, 60},
                                      {SIGTERM, 150}, {SIGTERM, 300}, {SIGKILL, 20}, {0, 0}};
  for (const auto& [sent, delay] : runs) {
    const RunningChild child = start({"modify", "--path", temp / "App"});
    sleepFor(delay);
    if (sent != 0) ::kill(child.processId, sent);
    // Before its handlers are in place the signal simply ends the process; after, the run
    // reports it and ends with the same status.
    const int status = finishChild(child).exitStatus;
    EXPECT_TRUE(status == 0 || status == 128 + sent) << sent << " after " << delay << ": " << status;
    if (sent == SIGKILL) continue;
    EXPECT_EQ(entryNames(projects), Names{"App"}) << delay;
    expectCompleteCopy(temp / "App", projects + "App");
  }
}

TEST_F(SafetyTest, ConcurrentRunsEachSucceedWithOneCompleteCopy) {
  makeProject("App", 300, 40);
  makeProject("other/App", 200, 30, "o");
  std::vector<RunningChild> runs;
  for (const char* project : {"App", "App", "App", "other/App"}) runs.push_back(start({"modify", "--path", temp / project}));
  for (const auto& run : runs) EXPECT_EQ(finishChild(run).exitStatus, 0);
  EXPECT_EQ(entryNames(projects), Names{"App"});
  // Whichever project came last, its copy is whole and unmixed.
  const bool otherLast = fs::exists(projects + "App/Views/v29.xib") && !fs::exists(projects + "App/Views/v39.xib");
  expectCompleteCopy(otherLast ? temp / "other/App" : temp / "App", projects + "App");

  // In place, runs of users with other home folders take turns too: none takes another's
  // file in the making for a leftover.
  runs.clear();
  for (const char* home : {"h1", "h2", "h3"}) {
    runs.push_back(start({"modify", "--path", temp / "App", "--output", temp / "App"}, {{"HOME", temp.makeFolder(home)}}));
  }
  for (const auto& run : runs) EXPECT_EQ(finishChild(run).exitStatus, 0);
}

// However xcodebuild takes the signal (a child of its own ignores it, or it does), one ends the
// run within the grace period; xcodebuild and all it started are gone, not orphaned; the copy
// and the archive are removed, and the report lists the run it stopped.
TEST_F(SafetyTest, OneSignalEndsABuildWithXcodebuildAndWhatItStartedAndReportsTheStoppedRun) {
  const std::string pidFile = temp / "xcodebuild.pids";
  for (const int stubborn : {1, 2}) {
    fs::remove(pidFile);
    const RunningChild run = start(
        {"build", "--path", temp / "SampleApp", "--export", makeSampleApp(), "--report", temp / "run.json"},
        {{"FAKE_XCODEBUILD_SLEEP", "60"}, {"FAKE_XCODEBUILD_PID_FILE", pidFile},
         {"FAKE_XCODEBUILD_STUBBORN", std::to_string(stubborn)}});
    for (int wait = 0; wait < 500 && readFile(pidFile).find('\n') == std::string::npos; ++wait) sleepFor(20);
    sleepFor(50);
    ::kill(run.processId, SIGTERM);
    const auto outcome = finishChildWithin(run, 15000);
    if (!outcome) {
      std::istringstream pids(readFile(pidFile));
      for (int pid = 0; pids >> pid;) ::kill(pid, SIGKILL);
      FAIL() << "the run went on for 15 s after SIGTERM";
    }
    EXPECT_EQ(outcome->exitStatus, 128 + SIGTERM) << outcome->standardOutput << outcome->standardError;
    EXPECT_NE(outcome->standardOutput.find("Interrupted by SIGTERM"), std::string::npos) << outcome->standardOutput;
    expectGone(pidFile);
    const std::string report = readFile(temp / "run.json");
    for (const std::string& part :
         {std::string("\"status\": \"interrupted\",\n  \"error\": \"Interrupted by SIGTERM before the run was complete\""),
          "\"archivePath\": \"" + builds + "SampleApp/SampleApp.xcarchive\",\n  \"archiveRemoved\": true",
          "\"action\": \"export\",\n      \"exitStatus\": " + std::to_string(128 + (stubborn == 2 ? SIGKILL : SIGTERM)) +
              ",\n      \"log\": \"" + builds + "SampleApp/xcodebuild-export.log\"\n    }\n  ]"}) {
      EXPECT_NE(report.find(part), std::string::npos) << part << "\nnot in\n" << report;
    }
    EXPECT_TRUE(fs::is_empty(projects)) << stubborn;
    EXPECT_EQ(entryNames(builds + "SampleApp"), (Names{"xcodebuild-archive.log", "xcodebuild-export.log"})) << stubborn;
  }
}

}  // namespace
}  // namespace korvaster::testing
