// Terminal: where the log lines and the progress line go (standard error), behind an
// interface, so that what writes there can be watched in a test and the progress line can
// be judged by whether a person is looking.
#pragma once

#include <string_view>

namespace korvaster::support {

class Terminal {
 public:
  virtual ~Terminal() = default;
  // Whether it is a terminal a person watches: only then may a line be rewritten in place.
  virtual bool isInteractive() const = 0;
  // Writes the bytes in one call, so that lines from this process and from the processes it
  // starts never interleave mid-line. A failure is ignored: there is nowhere left to report it.
  virtual void write(std::string_view bytes) = 0;
};

// The process's standard error.
Terminal& standardError();

}  // namespace korvaster::support
