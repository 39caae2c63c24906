#include "support/write_all.h"

#include <unistd.h>

#include <cerrno>

namespace korvaster::support {

bool writeAll(int fileDescriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fileDescriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace korvaster::support
