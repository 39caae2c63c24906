// Facts about the running process that several layers print.
#pragma once

#include <string>

namespace korvaster::support {

// The last "/"-separated component of the path the process was started with.
std::string processName();

}  // namespace korvaster::support
