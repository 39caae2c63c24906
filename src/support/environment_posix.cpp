// The process's environment, read with getenv.
#include <cstdlib>

#include "support/environment.h"

namespace korvaster::support {

namespace {

class ProcessEnvironment final : public Environment {
 public:
  std::optional<std::string> variable(const std::string& name) const override {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }
};

}  // namespace

const Environment& processEnvironment() {
  static const ProcessEnvironment environment;
  return environment;
}

}  // namespace korvaster::support
