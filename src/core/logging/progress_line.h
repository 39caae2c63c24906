// ProgressLine: one line on standard error that tells how far a long step has come and is
// rewritten in place. It is shown only when standard error is a terminal a person watches, so that logs and
// captured output never hold it, and the standard-error line writer clears it before each
// log line, so that the two never mix.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>

#include "support/terminal.h"

namespace korvaster {

class ProgressLine {
 public:
  // Shows nothing unless `terminal` is given and interactive.
  explicit ProgressLine(support::Terminal* terminal);
  // Clears the line.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Replaces the line with `text` (kept short: it must fit one terminal line).
  void show(const std::string& text);
  // Shows "LABEL: N of TOTAL" for the next item of `total`, at most every few hundredths of
  // a second and always for the last. May be called from any thread.
  void advance(const std::string& label, std::size_t total);

 private:
  support::Terminal* terminal_;
  const bool enabled_;
  std::mutex mutex_;
  std::size_t done_ = 0;
  std::chrono::steady_clock::time_point lastShown_{};
};

// Removes the progress line from the terminal if one is shown; the line writer calls it
// before writing a log line.
void clearProgressLine(support::Terminal& terminal);

}  // namespace korvaster
