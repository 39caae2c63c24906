// Standard error as the tool's terminal.
#include <unistd.h>

#include "support/terminal.h"
#include "support/write_all.h"

namespace korvaster::support {

namespace {

class StandardError final : public Terminal {
 public:
  bool isInteractive() const override { return ::isatty(STDERR_FILENO) == 1; }
  void write(std::string_view bytes) override { static_cast<void>(writeAll(STDERR_FILENO, bytes)); }
};

}  // namespace

Terminal& standardError() {
  static StandardError terminal;
  return terminal;
}

}  // namespace korvaster::support
