// Ending the process with a status, after the buffered standard output has been written.
#pragma once

namespace korvaster::support {

// Flushes stdoutStream() and ends the process with the given status. Never returns.
[[noreturn]] void exitProcess(int status);

}  // namespace korvaster::support
