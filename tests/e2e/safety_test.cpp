// What an interrupted build leaves: no process it started, no copy or archive of its own,
// and a report of the run it stopped.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "e2e/child_process.h"
#include "golden.h"

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

using SafetyTest = KorvasterTest;

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
    expectApprovedReport("interrupted-build-report-" + std::to_string(stubborn) + ".json", temp / "run.json", temp.path());
    EXPECT_TRUE(fs::is_empty(projects)) << stubborn;
    EXPECT_EQ(entryNames(builds + "SampleApp"), (Names{"xcodebuild-archive.log", "xcodebuild-export.log"})) << stubborn;
  }
}

}  // namespace
}  // namespace korvaster::testing
