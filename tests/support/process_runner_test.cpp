#include "support/command_runner.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "fakes/system_call_faults.h"
#include "temporary_folder.h"

namespace korvaster::support {
namespace {

using Words = std::vector<std::string>;

TEST(PosixCommandRunnerTest, PassesExitStatusesThroughAndKeepsEachWordWhole) {
  const std::pair<Words, int> cases[] = {
      {{"sh", "-c", "exit 0"}, 0},
      {{"sh", "-c", "exit 70"}, 70},
      {{"sh", "-c", "kill -9 $$"}, 128 + 9},
      {{"korvaster-no-such-program"}, 127},
      {{"sh", "-c", "[ \"$1\" = 'a b' ] && [ $# -eq 1 ]", "sh", "a b"}, 0},
      {{"sh", "-c", "head -c 100000000 /dev/zero"}, 0},  // much discarded output never stalls the child
  };
  PosixCommandRunner runner;
  for (const auto& [words, status] : cases) EXPECT_EQ(runner.run(words, true), status) << words.back();
}

#if defined(__linux__)
// The calls that copy a child's output to its log and wait for it: one the system interrupts is
// made again and the log is whole; pipes that cannot be made or a log that cannot be written
// leave the child run without it; a wait refused ends the run as a child that could not start.
// The run ends soon after the child, even where what it started holds its output open.
TEST(PosixCommandRunnerTest, AnInterruptedCopyIsMadeAgainAndOneThatFailsLeavesTheLogOut) {
  testing::TemporaryFolder temp;
  const struct {
    const char* call;
    int error;
    int nth;
    std::string log;
    int status = 0;
    const char* script = "echo out";
  } cases[] = {{"poll", EINTR, 1, "out\n"}, {"read", EINTR, 1, "out\n"},        {"write", EINTR, 1, "out\n"},
               {"pipe", EMFILE, 1, ""},     {"pipe", EMFILE, 2, ""},            {"write", ENOSPC, 1, ""},
               {"waitpid", EINTR, 1, "out\n"}, {"waitpid", ECHILD, 1, "out\n", 127},
               {"none", 0, 1, "out\n", 0, "sleep 3 & echo out"}};
  PosixCommandRunner runner;
  for (const auto& c : cases) {
    const std::string where = std::string(c.call) + " " + std::to_string(c.nth) + " " + std::to_string(c.error);
    testing::SystemCallFault fault(c.call, c.error, c.nth);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runner.run({"sh", "-c", c.script}, true, temp / "log"), c.status) << where;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500)) << where;
    EXPECT_EQ(fault.failed(), c.error == 0 ? 0 : 1) << where;
    EXPECT_EQ(testing::readFile(temp / "log"), c.log) << where;
  }
}
#endif

// A child quiet for longer than the runner waits between looks, then writing more than a pipe
// holds, is read until it has gone; taken for gone at its first quiet moment, it was left
// blocked on a full pipe, and the runner waited for it forever.
TEST(PosixCommandRunnerTest, AChildQuietAtFirstIsReadUntilItHasGone) {
  testing::TemporaryFolder temp;
  const std::string pidFile = temp / "pid";
  const std::string log = temp / "out.log";
  PosixCommandRunner runner;
  auto status = std::async(std::launch::async, [&] {
    return runner.run({"sh", "-c", "echo $$ > \"$0\"; sleep 0.6; exec head -c 200000 /dev/zero", pidFile}, true, log);
  });
  if (status.wait_for(std::chrono::seconds(15)) != std::future_status::ready) {
    ::kill(-std::stoi(testing::readFile(pidFile)), SIGKILL);
    status.wait();
    FAIL() << "the runner still waited for its child 15 s later";
  }
  EXPECT_EQ(status.get(), 0);
  EXPECT_EQ(std::filesystem::file_size(log), 200000u);
}

}  // namespace
}  // namespace korvaster::support
