// Copying one regular file's contents the fastest way the file system offers.
#pragma once

#include <sys/types.h>

#include <string>

namespace korvaster::files {

// Creates `destination` (which must not exist) with the contents of `source` and the
// permission bits `mode`. Tries a clone first, then an in-kernel copy, then read and write.
// On failure errno says why, and `sourceFailed` whether it was the source that could not
// be opened (rather than the copy made or filled).
bool copyFileContents(const std::string& source, const std::string& destination, mode_t mode,
                      bool* sourceFailed = nullptr);

}  // namespace korvaster::files
