// The suites that link this run with descriptor 0 free, as a program started with its standard
// input closed would: the next file opened gets it, so code that takes 0 for a failure shows.
#include <unistd.h>

namespace {
[[maybe_unused]] const int gStandardInputClosed = ::close(0);
}  // namespace
