// The process entry point: hands the arguments to the tool and returns its status.
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "core/commands/korvast_command_line_tool.h"
#include "support/standard_descriptors.h"

int main(int argc, char* argv[]) {
  korvaster::support::openClosedStandardDescriptors();
#ifdef __GLIBC__
  // Each worker holds a file and a parser buffer of a few megabytes at a time. With an arena
  // per thread, what one worker frees stays with its arena instead of serving the next file
  // on another worker, and the peak grows by a file's worth for every extra worker.
  mallopt(M_ARENA_MAX, 1);
#endif
  return korvaster::runKorvaster(std::vector<std::string>(argv, argv + argc));
}
