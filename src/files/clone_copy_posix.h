// Copying one regular file's contents the fastest way the file system offers.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace korvaster::files {

// The kernel's ways of copying bytes between two open files that Linux offers, as calls a test
// can replace to make each refuse: a clone (`ioctl(FICLONE)`) and an in-kernel copy
// (`copy_file_range` of up to `length` bytes from the current offsets). Each returns what the
// system call returns, with errno set on failure.
struct KernelCopyCalls {
  int (*clone)(int to, int from);
  ssize_t (*copyRange)(int from, int to, std::size_t length);
};
// The real calls (on a system without them, calls that say so with EOPNOTSUPP).
const KernelCopyCalls& systemKernelCopyCalls();

// Creates `destination` in the folder open as `toFolder` (which must not hold it yet) with the
// contents of `source` in the folder open as `fromFolder` and the permission bits `mode`;
// AT_FDCWD stands for the current folder. Neither name is followed if it is a link. Tries a
// clone first, then an in-kernel copy, then read and write. On failure errno says why, and
// `sourceFailed` whether it was the source that could not be opened (rather than the copy
// made or filled).
bool copyFileContents(int fromFolder, const std::string& source, int toFolder, const std::string& destination,
                      mode_t mode, bool* sourceFailed = nullptr,
                      const KernelCopyCalls& calls = systemKernelCopyCalls());

}  // namespace korvaster::files
