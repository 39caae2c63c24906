#include "core/logging/progress_line.h"

#include <unistd.h>

#include <atomic>

#include "support/write_all.h"

namespace korvaster {

namespace {
// Back to the start of the line, then erase to its end.
constexpr const char* kEraseLine = "\r\033[K";
constexpr auto kShortestInterval = std::chrono::milliseconds(50);

std::atomic<bool> lineShown{false};
}  // namespace

void clearProgressLine() {
  if (lineShown.exchange(false)) support::writeAll(STDERR_FILENO, kEraseLine);
}

ProgressLine::ProgressLine() : enabled_(::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
  if (enabled_) clearProgressLine();
}

void ProgressLine::show(const std::string& text) {
  if (!enabled_) return;
  support::writeAll(STDERR_FILENO, kEraseLine + text);
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
