#include "support/regular_file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace korvaster::support {

int openRegularFileAnew(const std::string& path, mode_t mode) {
  struct stat there {};
  if (::lstat(path.c_str(), &there) != 0) {
    if (errno != ENOENT) return -1;
    // Nothing there: made here, and O_EXCL never follows a link put there meanwhile.
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  }
  if (!S_ISREG(there.st_mode)) {
    errno = S_ISLNK(there.st_mode) ? ELOOP : S_ISDIR(there.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  // Without O_CREAT nothing new is made, and O_NONBLOCK keeps a pipe swapped in meanwhile from
  // blocking the open; what was opened is then checked to be the regular file seen before.
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat opened {};
  if (::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != there.st_dev ||
      opened.st_ino != there.st_ino) {
    ::close(descriptor);
    errno = EINVAL;
    return -1;
  }
  if (::ftruncate(descriptor, 0) != 0 || ::fcntl(descriptor, F_SETFL, 0) != 0) {
    const int error = errno;
    ::close(descriptor);
    errno = error;
    return -1;
  }
  return descriptor;
}

}  // namespace korvaster::support
