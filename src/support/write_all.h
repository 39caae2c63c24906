// Writing a whole buffer to a file descriptor, across short writes and interruptions.
#pragma once

#include <string_view>

namespace korvaster::support {

// Returns false, with errno set, when a write fails; what was written before stays written.
bool writeAll(int fileDescriptor, std::string_view bytes);

}  // namespace korvaster::support
