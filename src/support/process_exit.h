// Ending the process with a status, after the buffered standard output has been written.
#pragma once

namespace korvaster::support {

// Flushes stdoutStream() and ends the process with the given status, or with 1 instead of
// 0 when standard output failed: output that was lost is no success. Never returns.
[[noreturn]] void exitProcess(int status);

}  // namespace korvaster::support
