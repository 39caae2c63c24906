// LoggerType: what receives log messages. Implementations never throw.
#pragma once

#include <functional>
#include <string>

#include "core/logging/log_level.h"

namespace korvaster {

// A log message that is built only when its line is actually written.
using DeferredMessage = std::function<std::string()>;

class LoggerType {
 public:
  virtual ~LoggerType() = default;
  // Evaluates `message` at most once, and only when the line is written.
  virtual void log(LogLevel level, const DeferredMessage& message) = 0;
};

}  // namespace korvaster
