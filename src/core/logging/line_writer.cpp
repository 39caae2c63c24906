#include "core/logging/line_writer.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/logging/progress_line.h"
#include "support/process_info.h"

namespace korvaster {

std::string StandardErrorLineWriter::prefix(long long secondsSinceEpoch, int milliseconds) {
  const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  char millis[8];
  std::snprintf(millis, sizeof millis, ".%03d", milliseconds);
  return std::string(stamp) + millis + " " + support::processName() + "[" +
         std::to_string(support::processId()) + ":" + std::to_string(support::threadId()) + "] ";
}

void StandardErrorLineWriter::writeLine(const std::string& line) {
  using namespace std::chrono;
  const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  clearProgressLine(terminal_);
  terminal_.write(prefix(now / 1000, static_cast<int>(now % 1000)) + line + "\n");
}

std::shared_ptr<LineWriter> standardErrorLineWriter() {
  static const auto writer = std::make_shared<StandardErrorLineWriter>(support::standardError());
  return writer;
}

}  // namespace korvaster
