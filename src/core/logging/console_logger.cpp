#include "core/logging/console_logger.h"

namespace korvaster {

namespace {
constexpr const char* kLinePrefix = " KorvastLoger -> ";
}

void ConsoleLogger::log(LogLevel level, const DeferredMessage& message) {
  if (level < requiredLevel || !writer_) return;
  writer_->writeLine(std::string(tag(level)) + kLinePrefix + message());
}

}  // namespace korvaster
