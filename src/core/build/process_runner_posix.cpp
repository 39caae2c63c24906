#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>

#include "core/build/command_runner.h"
#include "support/interruption.h"

extern char** environ;

namespace korvaster {

namespace {
constexpr const char* kEnvProgram = "/usr/bin/env";
constexpr int kCannotStart = 127;
constexpr int kPollMilliseconds = 20;
constexpr int kGraceMilliseconds = 3000;

bool groupIsGone(pid_t group) { return ::kill(-group, 0) != 0 && errno == ESRCH; }

// Waits up to `milliseconds` for every process of the group to end.
bool waitForGroup(pid_t group, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += kPollMilliseconds) {
    if (groupIsGone(group)) return true;
    ::usleep(kPollMilliseconds * 1000);
  }
  return groupIsGone(group);
}

// After an interruption, what the child started may outlive it: such processes have the
// signal already and get a grace period, then are killed. They are not our children, so
// "waiting" means watching the group until it is empty.
void endProcessGroup(pid_t group) {
  if (waitForGroup(group, kGraceMilliseconds)) return;
  ::kill(-group, SIGKILL);
  waitForGroup(group, kGraceMilliseconds);
}
}  // namespace

int PosixCommandRunner::run(const std::vector<std::string>& words, bool redirectOutput) {
  // env finds the program on PATH; no shell is involved, so each word stays one argument.
  std::vector<std::string> argumentTexts{kEnvProgram};
  argumentTexts.insert(argumentTexts.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (auto& text : argumentTexts) argv.push_back(text.data());
  argv.push_back(nullptr);

  support::throwIfInterrupted();
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return kCannotStart;
  // The null device takes any amount of output, so the child can never block on it.
  if (redirectOutput &&
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return kCannotStart;
  }
  // The child leads a process group of its own, so that an interruption can end it together
  // with everything it started, and no orphan keeps building after the tool has gone.
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return kCannotStart;
  }
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signalNumber);
  const bool configured = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF) == 0 &&
                          posix_spawnattr_setpgroup(&attributes, 0) == 0 &&
                          posix_spawnattr_setsigdefault(&attributes, &defaults) == 0;
  pid_t child = 0;
  const int spawned =
      configured ? posix_spawn(&child, kEnvProgram, &actions, &attributes, argv.data(), environ) : -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return kCannotStart;
  support::setChildProcessGroup(child);

  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      support::setChildProcessGroup(0);
      return kCannotStart;
    }
  }
  // A child that an interruption ended has not failed on its own: say why it stopped.
  if (support::pendingInterruption() != 0) {
    endProcessGroup(child);  // a further signal still reaches the group meanwhile
    support::setChildProcessGroup(0);
    support::throwIfInterrupted();
  }
  support::setChildProcessGroup(0);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return kCannotStart;
}

CommandRunner& defaultCommandRunner() {
  static PosixCommandRunner runner;
  return runner;
}

}  // namespace korvaster
