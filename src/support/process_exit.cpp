#include "support/process_exit.h"

#include <cstdlib>

#include "support/output_byte_stream.h"

namespace korvaster::support {

void exitProcess(int status) {
  auto& output = stdoutStream();
  output.flush();
  std::exit(status == 0 && output.failed() ? 1 : status);
}

}  // namespace korvaster::support
