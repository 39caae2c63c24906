// The variables a test gives a run in place of the process's own, so that no test changes
// the environment every thread of the process shares.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>

#include "support/environment.h"

namespace korvaster::testing {

class FixedEnvironment final : public support::Environment {
 public:
  FixedEnvironment(std::initializer_list<std::pair<const std::string, std::string>> variables = {})
      : variables_(variables) {}
  std::optional<std::string> variable(const std::string& name) const override {
    const auto found = variables_.find(name);
    if (found == variables_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, std::string> variables_;
};

}  // namespace korvaster::testing
