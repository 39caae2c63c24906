// Environment: the variables the process was started with, behind an interface, so that what
// reads them (the worker count, the home folder) can be given other values in a test
// without changing the process's own.
#pragma once

#include <optional>
#include <string>

namespace korvaster::support {

class Environment {
 public:
  virtual ~Environment() = default;
  // The value of variable `name`, or nothing when it is unset.
  virtual std::optional<std::string> variable(const std::string& name) const = 0;
};

// The process's own environment.
const Environment& processEnvironment();

}  // namespace korvaster::support
