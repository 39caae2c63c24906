// What a run may delete, and what an interrupted or concurrent run leaves: the user's data
// whole, and at the reported path only a complete copy.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>

#include "e2e/child_process.h"
#include "temporary_folder.h"

namespace korvaster::testing {
namespace {

namespace fs = std::filesystem;

const std::string kView = R"(<?xml version="1.0"?>
<document><objects><view contentMode="scaleToFill" id="v-ID"><string key="text">Price:  </string></view></objects></document>
)";

class SafetyTest : public ::testing::Test {
 protected:
  SafetyTest() { temp.makeFolder("home"); }

  std::map<std::string, std::string> environment(std::map<std::string, std::string> extra = {}) {
    extra["HOME"] = temp / "home";
    const char* path = std::getenv("PATH");
    extra["PATH"] = std::string(KORVASTER_FAKE_XCODEBUILD_DIR) + ":" + (path != nullptr ? path : "/usr/bin:/bin");
    return extra;
  }
  ChildOutcome korvaster(const std::vector<std::string>& arguments, const std::string& cwd = "") {
    return runChild(KORVASTER_BINARY, arguments, environment(), cwd);
  }
  RunningChild start(const std::vector<std::string>& arguments, std::map<std::string, std::string> extra = {}) {
    return startChild(KORVASTER_BINARY, arguments, environment(std::move(extra)));
  }
  std::string projects() { return temp / "home/.korvast/CommandLineTool/Projects/"; }

  // A project of `files` Swift files and `views` IB files, `tag` written into each file.
  void makeProject(const std::string& relative, int files, int views, const std::string& tag = "") {
    for (int index = 0; index < files; ++index)
      temp.write(relative + "/Sources/" + std::to_string(index % 20) + "/f" + std::to_string(index) + ".swift", tag);
    for (int index = 0; index < views; ++index) {
      std::string view = kView;
      view.replace(view.find("ID"), 2, tag + std::to_string(index));
      temp.write(relative + "/Views/v" + std::to_string(index) + ".xib", view);
    }
  }

  // Fails unless `copy` holds exactly the files of `project` (less version control), every IB
  // file with its identifier and its text kept, and nothing temporary.
  void expectCompleteCopy(const std::string& project, const std::string& copy) {
    std::set<std::string> expected;
    for (const auto& entry : fs::recursive_directory_iterator(project)) {
      if (entry.is_regular_file()) expected.insert(fs::relative(entry.path(), project).string());
    }
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(copy)) {
      if (!entry.is_regular_file()) continue;
      const std::string relative = fs::relative(entry.path(), copy).string();
      if (relative == ".korvaster-copy") continue;
      found.insert(relative);
      if (entry.path().extension() == ".xib") {
        const std::string text = readFile(entry.path().string());
        EXPECT_NE(text.find("identifier=\"v-"), std::string::npos) << relative;
        EXPECT_NE(text.find(">Price:  <"), std::string::npos) << relative;
      }
    }
    EXPECT_EQ(found, expected);
  }

  std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TemporaryFolder temp;
};

TEST_F(SafetyTest, NoSpellingOfThePathReachesSiblingsOrEarlierCopies) {
  makeProject("w/MyApp", 3, 2);
  temp.write("w/Other/keep", "sibling");
  temp.write("home/.korvast/CommandLineTool/Projects/Earlier/keep", "earlier copy");
  temp.write("out/MyApp/work.swift", "uncommitted work of another checkout");
  ASSERT_EQ(::symlink((temp / "w").c_str(), (temp / "alias").c_str()), 0);

  // From inside the project, "." is the project by its own name.
  auto outcome = korvaster({"modify", "--path", "."}, temp / "w/MyApp");
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardError;
  expectCompleteCopy(temp / "w/MyApp", projects() + "MyApp");
  for (const char* spelling : {"w/MyApp/.", "w/MyApp//", "w/MyApp/./", "alias/MyApp"}) {
    outcome = korvaster({"modify", "--path", temp / spelling});
    EXPECT_EQ(outcome.exitStatus, 0) << spelling << outcome.standardError;
  }
  EXPECT_EQ(namesIn(projects()), (std::vector<std::string>{"Earlier", "MyApp"}));
  expectCompleteCopy(temp / "w/MyApp", projects() + "MyApp");

  // Each of these would put the copy onto the project, into it, or over a folder the tool
  // did not make: refused, and nothing deleted.
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"modify", "--path", ".", "--output", ".."}, temp / "w/MyApp"},
      {{"modify", "--path", temp / "alias/MyApp", "--output", temp / "w"}, ""},
      {{"modify", "--path", temp / "w/MyApp//", "--output", temp / "out"}, ""},
      {{"modify", "--path", temp / "home"}, ""},
      {{"modify", "--path", "/", "--output", temp / "out"}, ""},
      {{"build", "--path", ".", "--output", "..", "--export", "x.plist"}, temp / "w/MyApp"},
  };
  for (const auto& [arguments, cwd] : refused) {
    outcome = korvaster(arguments, cwd);
    EXPECT_EQ(outcome.exitStatus, 1) << arguments[2] << outcome.standardError;
  }
  EXPECT_EQ(readFile(temp / "w/Other/keep"), "sibling");
  EXPECT_EQ(readFile(temp / "out/MyApp/work.swift"), "uncommitted work of another checkout");
  EXPECT_EQ(readFile(projects() + "Earlier/keep"), "earlier copy");
  EXPECT_EQ(namesIn(temp / "out"), std::vector<std::string>{"MyApp"});
  EXPECT_EQ(namesIn(temp / "w"), (std::vector<std::string>{"MyApp", "Other"}));
  expectCompleteCopy(temp / "w/MyApp", projects() + "MyApp");

  // A copy the tool made under --output carries its mark and is replaced by the next run.
  fs::create_directories(temp / "out2");
  EXPECT_EQ(korvaster({"modify", "--path", temp / "w/MyApp", "--output", temp / "out2"}).exitStatus, 0);
  temp.write("w/MyApp/Sources/new.swift", "");
  EXPECT_EQ(korvaster({"modify", "--path", temp / "w/MyApp", "--output", temp / "out2"}).exitStatus, 0);
  expectCompleteCopy(temp / "w/MyApp", temp / "out2/MyApp");
  EXPECT_EQ(namesIn(temp / "out2"), std::vector<std::string>{"MyApp"});
}

TEST_F(SafetyTest, AnInterruptedRunLeavesTheEarlierCopyOrTheNewOneAndNothingTemporary) {
  makeProject("App", 1500, 150);
  ASSERT_EQ(korvaster({"modify", "--path", temp / "App"}).exitStatus, 0);
  int interrupted = 0;
  for (const int delay : {0, 5, 20, 60, 150, 300}) {
    const RunningChild child = start({"modify", "--path", temp / "App"});
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    ::kill(child.processId, SIGTERM);
    const ChildOutcome outcome = finishChild(child);
    // Before its handlers are in place the signal simply ends the process; after, the run
    // reports it and ends with the same status.
    if (outcome.exitStatus != 0) {
      EXPECT_EQ(outcome.exitStatus, 128 + SIGTERM) << delay;
    }
    interrupted += outcome.standardOutput.find("Interrupted by SIGTERM") != std::string::npos ? 1 : 0;
    EXPECT_EQ(namesIn(projects()), std::vector<std::string>{"App"}) << delay;
    expectCompleteCopy(temp / "App", projects() + "App");
  }
  std::cout << "runs that reported their interruption: " << interrupted << " of 6\n";
  // A run killed outright leaves its staging folder; the next run removes it.
  const RunningChild killed = start({"modify", "--path", temp / "App"});
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ::kill(killed.processId, SIGKILL);
  finishChild(killed);
  ASSERT_EQ(korvaster({"modify", "--path", temp / "App"}).exitStatus, 0);
  EXPECT_EQ(namesIn(projects()), std::vector<std::string>{"App"});
  expectCompleteCopy(temp / "App", projects() + "App");
}

TEST_F(SafetyTest, ConcurrentRunsEachSucceedWithOneCompleteCopy) {
  makeProject("App", 300, 40);
  makeProject("other/App", 200, 30, "o");
  std::vector<RunningChild> runs;
  for (int index = 0; index < 3; ++index) runs.push_back(start({"modify", "--path", temp / "App"}));
  runs.push_back(start({"modify", "--path", temp / "other/App"}));
  for (const auto& run : runs) {
    const ChildOutcome outcome = finishChild(run);
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardOutput << outcome.standardError;
  }
  EXPECT_EQ(namesIn(projects()), std::vector<std::string>{"App"});
  // Whichever project came last, its copy is whole and unmixed.
  const bool otherLast = fs::exists(projects() + "App/Views/v29.xib") && !fs::exists(projects() + "App/Views/v39.xib");
  expectCompleteCopy(otherLast ? temp / "other/App" : temp / "App", projects() + "App");
}

TEST_F(SafetyTest, InterruptedBuildEndsXcodebuildAndRemovesItsCopy) {
  fs::copy(KORVASTER_EXAMPLE_PROJECT, temp / "SampleApp", fs::copy_options::recursive);
  temp.write("Export.plist",
             "<plist version=\"1.0\"><dict><key>korvast_scheme</key><string>S</string>"
             "<key>korvast_configuration</key><string>Release</string>"
             "<key>korvast_workspace</key><string>SampleApp.xcworkspace</string></dict></plist>");
  const std::string pidFile = temp / "xcodebuild.pids";
  const RunningChild run =
      start({"build", "--path", temp / "SampleApp", "--export", temp / "Export.plist"},
            {{"FAKE_XCODEBUILD_SLEEP", "30"}, {"FAKE_XCODEBUILD_PID_FILE", pidFile}, {"FAKE_XCODEBUILD_STUBBORN", "1"}});
  for (int wait = 0; wait < 500 && readFile(pidFile).find('\n') == std::string::npos; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ::kill(run.processId, SIGTERM);
  const ChildOutcome outcome = finishChild(run);
  EXPECT_EQ(outcome.exitStatus, 128 + SIGTERM) << outcome.standardOutput << outcome.standardError;
  EXPECT_NE(outcome.standardOutput.find("Interrupted by SIGTERM"), std::string::npos) << outcome.standardOutput;
  // xcodebuild and what it started, even a child that ignores SIGTERM, are gone, not orphaned.
  std::istringstream pids(readFile(pidFile));
  for (int pid = 0; pids >> pid;) {
    bool gone = false;
    for (int wait = 0; wait < 100 && !gone; ++wait) {
      gone = ::kill(pid, 0) != 0;
      if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(gone) << "process " << pid << " outlived the run";
  }
  EXPECT_TRUE(namesIn(projects()).empty());
  EXPECT_FALSE(fs::exists(temp / "home/.korvast/CommandLineTool/AppBuilds/SampleApp/SampleApp.xcarchive"));
}

TEST_F(SafetyTest, ACleanUpNeverTakesTheArchiveOfAnotherLiveRun) {
  fs::copy(KORVASTER_EXAMPLE_PROJECT, temp / "SampleApp", fs::copy_options::recursive);
  for (const std::string& workspace : {std::string("First"), std::string("Second")}) {
    temp.write(workspace + ".plist",
               "<plist version=\"1.0\"><dict><key>korvast_scheme</key><string>S</string>"
               "<key>korvast_configuration</key><string>Release</string>"
               "<key>korvast_workspace</key><string>" + workspace + ".xcworkspace</string></dict></plist>");
  }
  temp.makeFolder("kept");
  // The first run's export waits while the second run builds, exports and cleans up.
  const RunningChild first = start({"build", "--path", temp / "SampleApp", "--export", temp / "First.plist"},
                                   {{"FAKE_XCODEBUILD_SLEEP", "1"}});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const ChildOutcome second = finishChild(
      start({"build", "--path", temp / "SampleApp", "--export", temp / "Second.plist", "--output", temp / "kept"}));
  const ChildOutcome firstOutcome = finishChild(first);
  EXPECT_EQ(second.exitStatus, 0) << second.standardOutput << second.standardError;
  EXPECT_EQ(firstOutcome.exitStatus, 0) << firstOutcome.standardOutput << firstOutcome.standardError;
}

}  // namespace
}  // namespace korvaster::testing
