#include "files/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "files/posix_contents_replacement.h"
#include "files/file_io_error.h"
#include "files/posix_file_manager.h"
#include "files/path_text.h"
#include "support/write_all.h"

namespace korvaster::files {

namespace {

[[noreturn]] void failRead(const std::string& path) {
  throw FileIOError(FileIOError::Case::readFailed, path, errno);
}

}  // namespace

std::string readContents(const std::string& path, std::size_t maximumSize) {
  // Without O_NONBLOCK a FIFO would block the open until someone writes to it.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) failRead(path);
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    const int error = errno;
    ::close(descriptor);
    throw FileIOError(FileIOError::Case::readFailed, path, error);
  }
  // A pipe never ends and a device may not either: only regular files are read.
  if (!S_ISREG(status.st_mode)) {
    ::close(descriptor);
    throw FileIOError(FileIOError::Case::readFailed, path, std::string("not a regular file"));
  }
  std::string contents;
  if (status.st_size > 0) contents.reserve(std::min(static_cast<std::size_t>(status.st_size), maximumSize));
  char buffer[1 << 16];
  while (contents.size() < maximumSize) {
    const ssize_t count = ::read(descriptor, buffer, std::min(sizeof buffer, maximumSize - contents.size()));
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(descriptor);
      throw FileIOError(FileIOError::Case::readFailed, path, error);
    }
    contents.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(descriptor);
  return contents;
}

void writeAtomically(const std::string& path, std::string_view contents, bool mayCreate) {
  PosixContentsReplacement replacement(path, ContentsReplacement::Mode::atomically, {}, mayCreate);
  replacement.write(contents);
  replacement.commit();
}

void replaceLinkWithCopy(const std::string& path, const std::string& from) {
  const std::string& source = from.empty() ? path : from;
  const std::string contents = readContents(source);
  struct stat target {};
  if (::stat(source.c_str(), &target) != 0) throw FileIOError(FileIOError::Case::readFailed, source, errno);
  std::string temporary = folderAndName(path).first + "/" + kTemporaryPrefix + std::string(kTemporaryRandomLength, 'X');
  const int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) throw FileIOError(FileIOError::Case::writeFailed, path, errno);
  bool done = support::writeAll(descriptor, contents) && ::fchmod(descriptor, target.st_mode & 07777) == 0;
  const int error = errno;
  done = ::close(descriptor) == 0 && done;
  // The rename replaces the link itself: a link is never followed by it.
  if (done && ::rename(temporary.c_str(), path.c_str()) == 0) return;
  const int failure = done ? errno : error;
  ::unlink(temporary.c_str());
  throw FileIOError(FileIOError::Case::writeFailed, path, failure);
}

int removeAbandonedTemporaries(const std::string& folder) {
  const auto names = PosixFileManager().contentsOfDirectory(folder);
  if (!names) return 0;
  const std::string prefix = kTemporaryPrefix;
  int removed = 0;
  for (const auto& name : *names) {
    if (name.size() != prefix.size() + kTemporaryRandomLength || name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const std::string path = folder + "/" + name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace korvaster::files
