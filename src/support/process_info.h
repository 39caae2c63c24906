// Facts about the running process that several layers print.
#pragma once

#include <string>

namespace korvaster::support {

// The last "/"-separated component of the path the process was started with.
std::string processName();
// The process's id.
long long processId();
// The calling thread's id as the system shows it (in a log line's prefix).
unsigned long long threadId();

}  // namespace korvaster::support
