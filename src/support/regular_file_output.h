// Writing a file by name that is made anew on every run (a kept log): only a regular file of
// that name is ever replaced, never what a link leads to, nor a folder, pipe or device.
#pragma once

#include <sys/types.h>

#include <string>

namespace korvaster::support {

// Opens `path` for writing, empty: creates a regular file with the bits `mode`, or empties the
// regular file there. Returns the close-on-exec descriptor, or -1 with errno: ELOOP for a
// link, EISDIR for a folder, EINVAL for anything else but a regular file, which are left
// untouched and never opened.
int openRegularFileAnew(const std::string& path, mode_t mode);

}  // namespace korvaster::support
