// Log levels, ordered by raw value, each with the tag written before its messages.
#pragma once

namespace korvaster {

enum class LogLevel : int { Debug = 0, Verbose = 1, Info = 2, Warning = 3, Error = 4, SuppressAll = 5 };

// "[💬]", "[🔬]", "[ℹ️]", "[⚠️]", "[🔥]" or "[❌]".
const char* tag(LogLevel level);

inline bool operator<(LogLevel left, LogLevel right) {
  return static_cast<int>(left) < static_cast<int>(right);
}

}  // namespace korvaster
