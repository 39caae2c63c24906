// Writing a file by name that is made anew on every run (a kept log): only a regular file of
// that name is ever replaced, never what a link leads to, nor a folder, pipe or device.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace korvaster::files {

// What is at `path` when it is neither nothing nor a regular file: "a symbolic link",
// "a folder", "a named pipe", "a device", "a socket" or "a special file". Nothing when a
// regular file or nothing at all is there, or when `path` cannot be looked at.
std::optional<std::string> nonRegularKind(const std::string& path);

// Opens `path` for writing, empty: creates a regular file with the bits `mode`, or empties the
// regular file there. Returns the close-on-exec descriptor, or -1 with errno: ELOOP for a
// link, EISDIR for a folder, EINVAL for anything else but a regular file, which are left
// untouched and never opened.
int openRegularFileAnew(const std::string& path, mode_t mode);

}  // namespace korvaster::files
