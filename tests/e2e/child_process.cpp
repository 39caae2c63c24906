#include "e2e/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace korvaster::testing {

RunningChild KorvasterTest::start(const std::vector<std::string>& arguments,
                                  std::map<std::string, std::string> environment,
                                  const std::string& workingDirectory, StandardOutput output) {
  const char* path = std::getenv("PATH");
  environment.emplace("HOME", temp / "home");
  environment.emplace("PATH", std::string(KORVASTER_FAKE_XCODEBUILD_DIR) + ":" + (path ? path : "/usr/bin:/bin"));
  // Files rather than pipes: the child can never block on a full pipe. A shell changes folder
  // (posix_spawn has no portable way to) and env sets the variables; each execs in turn, so
  // the child keeps the process id it was started with.
  RunningChild child{-1, std::make_shared<TemporaryFolder>()};
  const std::string outputPath = *child.output / "out", errorPath = *child.output / "err";
  std::vector<std::string> words{"/bin/sh", "-c", "cd \"$0\" && exec env \"$@\"",
                                 workingDirectory.empty() ? "." : workingDirectory};
  for (const auto& [name, value] : environment) words.push_back(name + "=" + value);
  words.insert(words.end(), launcher.begin(), launcher.end());
  words.push_back(KORVASTER_BINARY);
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output == StandardOutput::allClosed) {
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
      posix_spawn_file_actions_addclose(&actions, descriptor);
    }
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (output == StandardOutput::closed) {
      posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    } else {
      const char* target = output == StandardOutput::fullDevice ? "/dev/full" : outputPath.c_str();
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, target, O_WRONLY | O_CREAT, 0600);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(), O_WRONLY | O_CREAT, 0600);
  }
  const int spawned = posix_spawn(&child.processId, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start korvaster");
  return child;
}

ChildOutcome finishChild(const RunningChild& child) {
  int status = 0;
  struct rusage usage {};
  while (::wait4(child.processId, &status, 0, &usage) < 0) {
  }
#if defined(__APPLE__)
  const long peak = usage.ru_maxrss / 1024;  // bytes there
#else
  const long peak = usage.ru_maxrss;
#endif
  return ChildOutcome{readFile(*child.output / "out"), readFile(*child.output / "err"),
                      WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), peak};
}

std::optional<ChildOutcome> finishChildWithin(const RunningChild& child, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    siginfo_t info{};
    // Ended, and left for finishChild to collect.
    ::waitid(P_PID, static_cast<id_t>(child.processId), &info, WEXITED | WNOHANG | WNOWAIT);
    if (info.si_pid == child.processId) return finishChild(child);
    ::usleep(20 * 1000);
  }
  ::kill(child.processId, SIGKILL);
  finishChild(child);
  return std::nullopt;
}

std::string KorvasterTest::makeSampleApp() {
  namespace fs = std::filesystem;
  if (!fs::exists(temp / "SampleApp")) fs::copy(KORVASTER_EXAMPLE_PROJECT, temp / "SampleApp", fs::copy_options::recursive);
  return temp.write("SampleApp.plist", readFile(KORVASTER_GOLDEN_DIR "/../export-options/SampleApp.plist"));
}

}  // namespace korvaster::testing
