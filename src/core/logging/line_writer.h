// Where finished log lines go. The real writer puts the platform-style prefix in front and
// writes each line to standard error in one call; tests record the lines instead.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/terminal.h"

namespace korvaster {

class LineWriter {
 public:
  virtual ~LineWriter() = default;
  virtual void writeLine(const std::string& line) = 0;
};

// "2026-12-06 19:40:01.123 korvaster[4242:4242] " + line + "\n", in one write to the terminal
// (standard error).
class StandardErrorLineWriter final : public LineWriter {
 public:
  explicit StandardErrorLineWriter(support::Terminal& terminal) : terminal_(terminal) {}
  void writeLine(const std::string& line) override;

  // The prefix for a moment given as seconds and milliseconds since the epoch, in local time.
  static std::string prefix(long long secondsSinceEpoch, int milliseconds);

 private:
  support::Terminal& terminal_;
};

class RecordingLineWriter final : public LineWriter {
 public:
  void writeLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// The writer used by console loggers that are not given one.
std::shared_ptr<LineWriter> standardErrorLineWriter();

}  // namespace korvaster
