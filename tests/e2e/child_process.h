// Runs the built korvaster as a child process, with HOME in a temporary folder and the fake
// xcodebuild first on PATH, and collects what it wrote and how it ended.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "temporary_folder.h"

namespace korvaster::testing {

struct ChildOutcome {
  std::string standardOutput;
  std::string standardError;
  int exitStatus = -1;  // 128 + signal when killed
  // The most memory the child had resident at once, in KiB.
  long peakResidentKilobytes = 0;
};

// Where the child's standard output goes: to standardOutput, to a device that is always
// full, or nowhere (the descriptor is closed); or all three standard descriptors closed.
enum class StandardOutput { captured, fullDevice, closed, allClosed };

// A child that runs while the test goes on; what it writes goes to files in `output`.
struct RunningChild {
  int processId = -1;
  std::shared_ptr<TemporaryFolder> output;
};

// Waits for the child and collects what it wrote.
ChildOutcome finishChild(const RunningChild& child);
// The same, but a child still running after `milliseconds` is killed, and nothing returned.
std::optional<ChildOutcome> finishChildWithin(const RunningChild& child, int milliseconds);

class KorvasterTest : public ::testing::Test {
 protected:
  KorvasterTest() { temp.makeFolder("home"); }

  // `environment` adds to the test's own; a non-empty `workingDirectory` is where the child starts.
  RunningChild start(const std::vector<std::string>& arguments, std::map<std::string, std::string> environment = {},
                     const std::string& workingDirectory = "", StandardOutput output = StandardOutput::captured);
  ChildOutcome korvaster(const std::vector<std::string>& arguments, const std::string& workingDirectory = "",
                         std::map<std::string, std::string> environment = {}) {
    return finishChild(start(arguments, std::move(environment), workingDirectory));
  }
  // Copies the sample project to SampleApp (once) and writes an export list naming its
  // workspace; returns the list's path.
  std::string makeSampleApp();

  // Words the child is started through, such as a command that drops to another user.
  std::vector<std::string> launcher;
  TemporaryFolder temp;
  std::string projects = temp / "home/.korvast/CommandLineTool/Projects/";
  std::string builds = temp / "home/.korvast/CommandLineTool/AppBuilds/";
};

}  // namespace korvaster::testing
