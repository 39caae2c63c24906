// Sets an environment variable for one test and restores it afterwards.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace korvaster::testing {

class ScopedEnvironment {
 public:
  // A null `value` unsets the variable.
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    set(value);
  }
  ~ScopedEnvironment() { set(old_ ? old_->c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  void set(const char* value) { value != nullptr ? ::setenv(name_.c_str(), value, 1) : ::unsetenv(name_.c_str()); }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace korvaster::testing
