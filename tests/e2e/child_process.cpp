#include "e2e/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "temporary_folder.h"

extern char** environ;

namespace korvaster::testing {

namespace {

std::string readAndRemove(const std::string& path) {
  std::string text = readFile(path);
  ::unlink(path.c_str());
  return text;
}

std::string temporaryPath() {
  char path[] = "/tmp/korvaster-child-XXXXXX";
  const int file = ::mkstemp(path);
  if (file < 0) throw std::runtime_error("mkstemp failed");
  ::close(file);
  return path;
}

}  // namespace

RunningChild startChild(const std::string& program, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment,
                        const std::string& workingDirectory, StandardOutput output) {
  // Files rather than pipes: the child can never block on a full pipe.
  const std::string outPath = temporaryPath();
  const std::string errPath = temporaryPath();

  std::vector<std::string> argumentTexts{program};
  if (!workingDirectory.empty()) {
    // posix_spawn has no portable way to change folder; a shell does it and then execs.
    argumentTexts = {"/bin/sh", "-c", "cd \"$0\" && exec \"$@\"", workingDirectory, program};
  }
  argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& text : argumentTexts) argv.push_back(text.data());
  argv.push_back(nullptr);

  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto equals = text.find('=');
    if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : environment) merged[name] = value;
  std::vector<std::string> environmentTexts;
  for (const auto& [name, value] : merged) environmentTexts.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& text : environmentTexts) envp.push_back(text.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (output == StandardOutput::closed) {
    posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
  } else {
    const char* outTarget = output == StandardOutput::fullDevice ? "/dev/full" : outPath.c_str();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outTarget, O_WRONLY | O_TRUNC, 0);
  }
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_TRUNC, 0);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + program);
  return RunningChild{child, outPath, errPath};
}

ChildOutcome finishChild(const RunningChild& child) {
  int status = 0;
  while (::waitpid(child.processId, &status, 0) < 0) {
  }
  ChildOutcome outcome;
  outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.standardOutput = readAndRemove(child.outputPath);
  outcome.standardError = readAndRemove(child.errorPath);
  return outcome;
}

ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, StandardOutput output) {
  return finishChild(startChild(program, arguments, environment, "", output));
}

ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, const std::string& workingDirectory) {
  return finishChild(startChild(program, arguments, environment, workingDirectory));
}

std::vector<std::string> logLines(const std::string& standardError) {
  std::vector<std::string> lines;
  std::istringstream stream(standardError);
  std::string line;
  while (std::getline(stream, line)) {
    const auto end = line.find("] [");
    lines.push_back(end == std::string::npos ? line : line.substr(end + 2));
  }
  return lines;
}

}  // namespace korvaster::testing
