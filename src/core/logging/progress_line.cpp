#include "core/logging/progress_line.h"

#include <atomic>

namespace korvaster {

namespace {
// Back to the start of the line, then erase to its end.
constexpr const char* kEraseLine = "\r\033[K";
constexpr auto kShortestInterval = std::chrono::milliseconds(50);

// One progress line at a time: the tool shows one on standard error and nowhere else.
std::atomic<bool> lineShown{false};
}  // namespace

void clearProgressLine(support::Terminal& terminal) {
  if (lineShown.exchange(false)) terminal.write(kEraseLine);
}

ProgressLine::ProgressLine(support::Terminal* terminal)
    : terminal_(terminal), enabled_(terminal != nullptr && terminal->isInteractive()) {}

ProgressLine::~ProgressLine() {
  if (enabled_) clearProgressLine(*terminal_);
}

void ProgressLine::show(const std::string& text) {
  if (!enabled_) return;
  terminal_->write(kEraseLine + text);
  lineShown = true;
}

void ProgressLine::advance(const std::string& label, std::size_t total) {
  if (!enabled_) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  ++done_;
  const auto now = std::chrono::steady_clock::now();
  if (done_ < total && now - lastShown_ < kShortestInterval) return;
  lastShown_ = now;
  show(label + ": " + std::to_string(done_) + " of " + std::to_string(total));
}

}  // namespace korvaster
