// Logger: the one logger of the process, shared by reference with every command, workflow
// and service. It hands each message to its active writer, or drops it when there is none.
#pragma once

#include <memory>

#include "core/logging/logger_type.h"

namespace korvaster {

class Logger final : public LoggerType {
 public:
  explicit Logger(std::shared_ptr<LoggerType> writer = nullptr) : activeLogger(std::move(writer)) {}

  void log(LogLevel level, const DeferredMessage& message) override {
    if (activeLogger) activeLogger->log(level, message);
  }

  std::shared_ptr<LoggerType> activeLogger;
};

}  // namespace korvaster
