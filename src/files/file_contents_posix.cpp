#include "files/file_contents_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "files/contents_replacement_posix.h"
#include "files/file_io_error.h"
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
  return readOpenedFile(descriptor, path, maximumSize);
}

std::string readOpenedFile(int descriptor, const std::string& path, std::size_t maximumSize) {
  const auto fail = [&](int error) {
    ::close(descriptor);
    throw FileIOError(FileIOError::Case::readFailed, path, error);
  };
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) fail(errno);
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
      fail(errno);
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

void appendToFile(const std::string& path, std::string_view contents) {
  // O_NONBLOCK keeps a pipe found there from blocking the open; it is refused just after. A
  // link in the file's place is refused too: the append would land in a file elsewhere.
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (descriptor < 0) throw FileIOError(FileIOError::Case::writeFailed, path, errno);
  struct stat status {};
  int error = ::fstat(descriptor, &status) != 0 ? errno : !S_ISREG(status.st_mode) ? EINVAL : 0;
  if (error == 0 && (::fcntl(descriptor, F_SETFL, O_APPEND) != 0 || !support::writeAll(descriptor, contents)))
    error = errno;
  if (::close(descriptor) != 0 && error == 0) error = errno;
  if (error != 0) throw FileIOError(FileIOError::Case::writeFailed, path, error);
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

}  // namespace korvaster::files
