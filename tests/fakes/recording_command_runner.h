// A command runner that starts nothing: it records each call's words and answers with the
// status the test chose, after an optional action that stands for what the program does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/command_runner.h"

namespace korvaster::testing {

class RecordingCommandRunner final : public support::CommandRunner {
 public:
  using Action = std::function<int(const std::vector<std::string>& words)>;

  // With no action left for a call, it answers 0 and does nothing.
  explicit RecordingCommandRunner(std::vector<Action> actions = {}) : actions_(std::move(actions)) {}

  using support::CommandRunner::run;
  int run(const std::vector<std::string>& words, bool, const std::string&) override {
    calls.push_back(words);
    const std::size_t index = calls.size() - 1;
    return index < actions_.size() && actions_[index] ? actions_[index](words) : 0;
  }

  std::vector<std::vector<std::string>> calls;

 private:
  std::vector<Action> actions_;
};

}  // namespace korvaster::testing
