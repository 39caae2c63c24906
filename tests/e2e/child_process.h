// Runs a program as a child process and collects what it wrote and how it ended.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace korvaster::testing {

struct ChildOutcome {
  std::string standardOutput;
  std::string standardError;
  int exitStatus = -1;  // 128 + signal when killed
};

// Where the child's standard output goes: to standardOutput, to a device that is always
// full, or nowhere (the descriptor is closed).
enum class StandardOutput { captured, fullDevice, closed };

// A child that runs while the test goes on.
struct RunningChild {
  int processId = -1;
  std::string outputPath;
  std::string errorPath;
};

// `environment` entries replace or add to the test process's own environment; a non-empty
// `workingDirectory` is where the child starts.
RunningChild startChild(const std::string& program, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment = {},
                        const std::string& workingDirectory = "",
                        StandardOutput output = StandardOutput::captured);
// Waits for the child and collects what it wrote.
ChildOutcome finishChild(const RunningChild& child);

ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {},
                      StandardOutput output = StandardOutput::captured);
ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, const std::string& workingDirectory);

// Log lines with their time, process name and ids removed: "[tag] KorvastLoger -> ...".
std::vector<std::string> logLines(const std::string& standardError);

}  // namespace korvaster::testing
