#include "support/process_exit.h"

#include <cstdlib>

#include "support/output_byte_stream.h"

namespace korvaster::support {

void exitProcess(int status) {
  stdoutStream().flush();
  std::exit(status);
}

}  // namespace korvaster::support
