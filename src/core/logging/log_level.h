// Log levels, ordered by raw value, each with the tag written before its messages.
#pragma once

#include <optional>
#include <string>

namespace korvaster {

enum class LogLevel : int { Debug = 0, Verbose = 1, Info = 2, Warning = 3, Error = 4, SuppressAll = 5 };

// The level with this raw value, or nothing outside 0 to 5.
std::optional<LogLevel> logLevelFromRawValue(int rawValue);

// "[💬]", "[🔬]", "[ℹ️]", "[⚠️]", "[🔥]" or "[❌]".
const char* tag(LogLevel level);

inline bool operator<(LogLevel left, LogLevel right) {
  return static_cast<int>(left) < static_cast<int>(right);
}

}  // namespace korvaster
