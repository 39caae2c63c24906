#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cerrno>

#include "support/command_runner.h"
#include "support/interruption.h"
#include "support/regular_file_output.h"
#include "support/write_all.h"

extern char** environ;

namespace korvaster::support {

namespace {
constexpr const char* kEnvProgram = "/usr/bin/env";
constexpr int kCannotStart = 127;
constexpr int kPollMilliseconds = 20;
constexpr int kGraceMilliseconds = 3000;
constexpr int kReapMilliseconds = 200;

bool groupIsGone(pid_t group) { return ::kill(-group, 0) != 0 && errno == ESRCH; }

// The grace period that an interruption gives the child's process group: it starts when the
// signal is first seen (a wait it breaks returns at once), whether or not the child takes
// any notice of the signal, and at its end the whole group is killed.
class GraceAfterInterruption {
 public:
  explicit GraceAfterInterruption(pid_t group) : group_(group) {}

  // Call while waiting: starts the grace period once a signal has come, kills the group once
  // it is over.
  void check() {
    if (pendingInterruption() == 0 || killed_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!started_) {
      started_ = true;
      end_ = now + std::chrono::milliseconds(kGraceMilliseconds);
    } else if (now >= end_) {
      ::kill(-group_, SIGKILL);
      killed_ = true;
    }
  }

  // After the child has been reaped: what it started may outlive it. Such processes have the
  // signal already; they get what is left of the grace period, then are killed. They are not
  // our children, so "waiting" means watching the group until it is empty. Killed processes
  // stay in it until whoever adopted them reaps them, which is not waited for long.
  void endGroup() {
    for (check(); !killed_ && !groupIsGone(group_); check()) ::usleep(kPollMilliseconds * 1000);
    for (int waited = 0; waited < kReapMilliseconds && !groupIsGone(group_); waited += kPollMilliseconds) {
      ::usleep(kPollMilliseconds * 1000);
    }
  }

 private:
  pid_t group_;
  bool started_ = false;
  bool killed_ = false;
  std::chrono::steady_clock::time_point end_{};
};

// After the child has gone, what it started may hold its pipes open: its output is taken
// while it keeps coming, but never for longer than this.
constexpr int kQuietMilliseconds = 200;
constexpr auto kLongestDrain = std::chrono::seconds(2);

// The pipes that take the child's standard output and error, and the log they are copied to.
class OutputTee {
 public:
  // Opens the log and makes the pipes; ready() is false when either failed.
  OutputTee(const std::string& logPath, bool showOutput) : showOutput_(showOutput) {
    if (logPath.empty()) return;
    log_ = openRegularFileAnew(logPath, 0644);
    if (log_ < 0) return;
    for (int* ends : {output_, error_}) {
      if (::pipe(ends) != 0) return;
      for (int index : {0, 1}) ::fcntl(ends[index], F_SETFD, FD_CLOEXEC);
    }
    ready_ = true;
  }
  ~OutputTee() {
    for (int fd : {log_, output_[0], output_[1], error_[0], error_[1]}) {
      if (fd >= 0) ::close(fd);
    }
  }
  OutputTee(const OutputTee&) = delete;
  OutputTee& operator=(const OutputTee&) = delete;

  bool ready() const { return ready_; }

  // Makes the child write into the pipes; its copies of them replace its standard streams.
  bool connect(posix_spawn_file_actions_t& actions) const {
    return posix_spawn_file_actions_adddup2(&actions, output_[1], STDOUT_FILENO) == 0 &&
           posix_spawn_file_actions_adddup2(&actions, error_[1], STDERR_FILENO) == 0;
  }

  // Copies what comes through the pipes to the log and on to this process's own streams
  // until the child has gone and its output has stopped. The child is not reaped.
  void copyUntilDone(pid_t child, GraceAfterInterruption& grace) {
    closeDescriptor(output_[1]);
    closeDescriptor(error_[1]);
    // A reader of our output that went away must not end this process; the copy just stops.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    bool childGone = false;
    std::chrono::steady_clock::time_point drainEnd{};
    while (output_[0] >= 0 || error_[0] >= 0) {
      grace.check();
      pollfd fds[2] = {{output_[0], POLLIN, 0}, {error_[0], POLLIN, 0}};
      const int ready = ::poll(fds, 2, childGone ? kQuietMilliseconds : 10 * kPollMilliseconds);
      if (ready < 0 && errno != EINTR) break;
      if (ready == 0 && childGone) break;
      if (ready > 0) {
        if (fds[0].revents != 0) copyChunk(output_[0], showOutput_ ? STDOUT_FILENO : -1);
        if (fds[1].revents != 0) copyChunk(error_[0], STDERR_FILENO);
      }
      if (!childGone) {
        siginfo_t info{};
        childGone = ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                    info.si_pid == child;
        if (childGone) drainEnd = std::chrono::steady_clock::now() + kLongestDrain;
      } else if (std::chrono::steady_clock::now() > drainEnd) {
        break;
      }
    }
    ::sigaction(SIGPIPE, &previous, nullptr);
  }

 private:
  static void closeDescriptor(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }

  void copyChunk(int& from, int shownOn) {
    char buffer[65536];
    const ssize_t count = ::read(from, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) return;
    if (count <= 0) {
      closeDescriptor(from);
      return;
    }
    const std::string_view chunk(buffer, static_cast<std::size_t>(count));
    if (log_ >= 0 && !writeAll(log_, chunk)) closeDescriptor(log_);
    if (shownOn >= 0) writeAll(shownOn, chunk);
  }

  bool showOutput_;
  bool ready_ = false;
  int log_ = -1;
  int output_[2] = {-1, -1};
  int error_[2] = {-1, -1};
};
}  // namespace

int PosixCommandRunner::run(const std::vector<std::string>& words, bool redirectOutput, const std::string& logPath) {
  // env finds the program on PATH; no shell is involved, so each word stays one argument.
  std::vector<std::string> argumentTexts{kEnvProgram};
  argumentTexts.insert(argumentTexts.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (auto& text : argumentTexts) argv.push_back(text.data());
  argv.push_back(nullptr);

  throwIfInterrupted();
  OutputTee tee(logPath, !redirectOutput);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return kCannotStart;
  // The null device takes any amount of output, so the child can never block on it; nor on
  // the pipes, which are read as long as it runs.
  const bool connected = tee.ready() ? tee.connect(actions)
                                     : !redirectOutput || posix_spawn_file_actions_addopen(
                                                              &actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0;
  if (!connected) {
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
  setChildProcessGroup(child);
  GraceAfterInterruption grace(child);
  if (tee.ready()) tee.copyUntilDone(child, grace);

  // Polled rather than blocking, so that a signal that comes just before the wait still
  // starts the grace period.
  int status = 0;
  for (pid_t waited = 0; waited != child; grace.check()) {
    waited = ::waitpid(child, &status, WNOHANG);
    if (waited < 0 && errno != EINTR) {
      setChildProcessGroup(0);
      return kCannotStart;
    }
    if (waited == 0) ::usleep(kPollMilliseconds * 1000);
  }
  if (pendingInterruption() != 0) grace.endGroup();  // a further signal still reaches the group
  setChildProcessGroup(0);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return kCannotStart;
}

CommandRunner& defaultCommandRunner() {
  static PosixCommandRunner runner;
  return runner;
}

}  // namespace korvaster::support
