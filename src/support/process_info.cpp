#include "support/process_info.h"

#include <errno.h>  // program_invocation_short_name on glibc

#include <cstdlib>

namespace korvaster::support {

std::string processName() {
#ifdef __APPLE__
  const char* name = getprogname();
#else
  const char* name = program_invocation_short_name;
#endif
  return name != nullptr ? std::string(name) : std::string();
}

}  // namespace korvaster::support
