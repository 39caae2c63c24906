// Running a program as a child process and waiting for it. The real runner starts it
// through /usr/bin/env; tests use a recording one so workflows need no real xcodebuild.
#pragma once

#include <string>
#include <vector>

namespace korvaster::support {

class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  // Runs `words` (the program first, found on PATH) and returns its exit status: 127 when
  // it cannot be started, 128 + the signal when it was killed. With `redirectOutput` the
  // child's standard output is not shown; standard input and error are always inherited or
  // passed on. A non-empty `logPath` names a file that is made anew and gets everything the
  // child writes to either stream, in the order it arrives; when it cannot be made, the child
  // runs without it, and so it does when anything but a regular file is there: a link is
  // never followed, nor a special file written.
  // An interrupting signal (support/interruption.h) reaches the child's process group, which
  // gets a grace period from the signal's arrival and is then killed whatever it does; the
  // child's status is returned once the group has ended, and the caller is to end its work
  // as interrupted. Throws support::Interrupted without starting anything when the signal came
  // before.
  virtual int run(const std::vector<std::string>& words, bool redirectOutput, const std::string& logPath) = 0;
  int run(const std::vector<std::string>& words, bool redirectOutput) { return run(words, redirectOutput, ""); }
};

class PosixCommandRunner final : public CommandRunner {
 public:
  using CommandRunner::run;
  int run(const std::vector<std::string>& words, bool redirectOutput, const std::string& logPath) override;
};

// The runner the workflows use unless they are given another.
CommandRunner& defaultCommandRunner();

}  // namespace korvaster::support
