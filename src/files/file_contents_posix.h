// Reading a file, whole or up to a limit, and replacing a file's contents atomically.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace korvaster::files {

// The bytes of the regular file at `path`, or only its first `maximumSize` bytes when it has
// more (a caller that passes its limit plus one can tell a file at the limit from a longer
// one without reading the rest); throws FileIOError(readFailed), also for a pipe, a device
// or a socket, which are never read.
std::string readContents(const std::string& path,
                         std::size_t maximumSize = std::numeric_limits<std::size_t>::max());

// The same for a file already open as `descriptor` (which it closes), named `path` in errors.
std::string readOpenedFile(int descriptor, const std::string& path,
                           std::size_t maximumSize = std::numeric_limits<std::size_t>::max());

// Writes `contents` to a temporary file in the same folder, gives it the permission bits of
// the file it replaces, and renames it over `path`. On failure the old file is left whole,
// the temporary file is removed and FileIOError(writeFailed) is thrown. A missing file is a
// failure too, unless `mayCreate`: the new file then gets the bits 0644.
void writeAtomically(const std::string& path, std::string_view contents, bool mayCreate = false);

// Appends `contents` to the regular file at `path`, made with the bits 0644 when missing.
// Throws FileIOError(writeFailed), also for anything but a regular file, which is never written,
// and for a symbolic link in its place, never followed.
void appendToFile(const std::string& path, std::string_view contents);

// Replaces the link at `path` with a regular file holding the contents of the file at `from`
// (the link's own target by default), with that file's permission bits; `from` is only read.
// Throws FileIOError (readFailed or writeFailed), leaving the link as it was.
void replaceLinkWithCopy(const std::string& path, const std::string& from = {});

}  // namespace korvaster::files
