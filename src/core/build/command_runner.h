// Running a program as a child process and waiting for it. The real runner starts it
// through /usr/bin/env; tests use a recording one so workflows need no real xcodebuild.
#pragma once

#include <string>
#include <vector>

namespace korvaster {

class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  // Runs `words` (the program first, found on PATH) and returns its exit status: 127 when
  // it cannot be started, 128 + the signal when it was killed. With `redirectOutput` the
  // child's standard output is discarded; standard input and error are always inherited.
  virtual int run(const std::vector<std::string>& words, bool redirectOutput) = 0;
};

class PosixCommandRunner final : public CommandRunner {
 public:
  int run(const std::vector<std::string>& words, bool redirectOutput) override;
};

// The runner the workflows use unless they are given another.
CommandRunner& defaultCommandRunner();

}  // namespace korvaster
