#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "core/build/command_runner.h"

extern char** environ;

namespace korvaster {

namespace {
constexpr const char* kEnvProgram = "/usr/bin/env";
constexpr int kCannotStart = 127;
}  // namespace

int PosixCommandRunner::run(const std::vector<std::string>& words, bool redirectOutput) {
  // env finds the program on PATH; no shell is involved, so each word stays one argument.
  std::vector<std::string> argumentTexts{kEnvProgram};
  argumentTexts.insert(argumentTexts.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (auto& text : argumentTexts) argv.push_back(text.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return kCannotStart;
  // The null device takes any amount of output, so the child can never block on it.
  if (redirectOutput) posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, kEnvProgram, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return kCannotStart;

  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return kCannotStart;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return kCannotStart;
}

CommandRunner& defaultCommandRunner() {
  static PosixCommandRunner runner;
  return runner;
}

}  // namespace korvaster
