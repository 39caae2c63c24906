// Runs a program as a child process and collects what it wrote and how it ended; and the
// fixture of the end-to-end suites, which run the built korvaster that way.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "temporary_folder.h"

namespace korvaster::testing {

struct ChildOutcome {
  std::string standardOutput;
  std::string standardError;
  int exitStatus = -1;  // 128 + signal when killed
};

// Where the child's standard output goes: to standardOutput, to a device that is always
// full, or nowhere (the descriptor is closed).
enum class StandardOutput { captured, fullDevice, closed };

// A child that runs while the test goes on; what it writes goes to files in `output`.
struct RunningChild {
  int processId = -1;
  std::shared_ptr<TemporaryFolder> output;
};

// `environment` entries replace or add to the test process's own environment; a non-empty
// `workingDirectory` is where the child starts.
RunningChild startChild(const std::string& program, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment = {},
                        const std::string& workingDirectory = "",
                        StandardOutput standardOutput = StandardOutput::captured);
// Waits for the child and collects what it wrote.
ChildOutcome finishChild(const RunningChild& child);

ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {},
                      const std::string& workingDirectory = "");
ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, StandardOutput standardOutput);

// Log lines with their time, process name and ids removed: "[tag] KorvastLoger -> ...".
std::vector<std::string> logLines(const std::string& standardError);

// Runs of the built korvaster with HOME in a temporary folder and the fake xcodebuild first
// on PATH; `environment` adds to that.
class KorvasterTest : public ::testing::Test {
 protected:
  KorvasterTest() { temp.makeFolder("home"); }

  RunningChild start(const std::vector<std::string>& arguments, std::map<std::string, std::string> environment = {},
                     const std::string& workingDirectory = "");
  ChildOutcome korvaster(const std::vector<std::string>& arguments, const std::string& workingDirectory = "",
                         std::map<std::string, std::string> environment = {}) {
    return finishChild(start(arguments, std::move(environment), workingDirectory));
  }
  // Copies the sample project to SampleApp (once) and writes an export list naming
  // `workspace`; returns the list's path.
  std::string makeSampleApp(const std::string& workspace = "SampleApp");

  TemporaryFolder temp;
  std::string projects = temp / "home/.korvast/CommandLineTool/Projects/";
  std::string builds = temp / "home/.korvast/CommandLineTool/AppBuilds/";
};

}  // namespace korvaster::testing
