// LoggerType: what receives log messages. Implementations never throw.
#pragma once

#include "core/logging/deferred_message.h"
#include "core/logging/log_level.h"

namespace korvaster {

class LoggerType {
 public:
  virtual ~LoggerType() = default;
  // Evaluates `message` at most once, and only when the line is written.
  virtual void log(LogLevel level, const DeferredMessage& message) = 0;

  // Convenience for callers: any callable that returns a printable value.
  template <typename Producer,
            typename = std::enable_if_t<std::is_invocable_v<Producer> &&
                                        !std::is_same_v<std::decay_t<Producer>, DeferredMessage>>>
  void log(LogLevel level, Producer&& producer) {
    log(level, deferred(std::forward<Producer>(producer)));
  }
};

}  // namespace korvaster
