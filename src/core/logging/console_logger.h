// ConsoleLogger: writes messages at or above its threshold as one tagged line each.
#pragma once

#include <memory>

#include "core/logging/line_writer.h"
#include "core/logging/logger_type.h"

namespace korvaster {

class ConsoleLogger final : public LoggerType {
 public:
  // Lines go to standard error unless another writer is given.
  explicit ConsoleLogger(LogLevel threshold, std::shared_ptr<LineWriter> writer = standardErrorLineWriter())
      : requiredLevel(threshold), writer_(std::move(writer)) {}

  // Below the threshold the message is not evaluated. The line is the level's tag,
  // " KorvastLoger -> " and the message, written as it is ("%" included).
  void log(LogLevel level, const DeferredMessage& message) override;

  const LogLevel requiredLevel;

 private:
  std::shared_ptr<LineWriter> writer_;
};

}  // namespace korvaster
