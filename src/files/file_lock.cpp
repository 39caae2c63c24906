#include "files/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_io_error.h"
#include "support/interruption.h"

namespace korvaster::files {

namespace {

int openTarget(const std::string& path, FileLock::Target target) {
  const int descriptor = target == FileLock::Target::folder
                             ? ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                             : ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (descriptor < 0) throw FileIOError(FileIOError::Case::lockFailed, path, errno);
  // A lock file is ours: a pipe or a device put in its place is not taken for one.
  struct stat status {};
  if (target == FileLock::Target::lockFile && (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))) {
    ::close(descriptor);
    throw FileIOError(FileIOError::Case::lockFailed, path, "not a regular file");
  }
  return descriptor;
}

}  // namespace

std::optional<FileLock> FileLock::tryAcquire(const std::string& path, Target target) {
  const int descriptor = openTarget(path, target);
  while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    ::close(descriptor);
    if (error == EWOULDBLOCK) return std::nullopt;
    throw FileIOError(FileIOError::Case::lockFailed, path, error);
  }
  return FileLock(path, descriptor);
}

FileLock FileLock::acquire(const std::string& path, Target target, const std::function<void()>& onWait) {
  if (auto lock = tryAcquire(path, target)) return std::move(*lock);
  if (onWait) onWait();
  const int descriptor = openTarget(path, target);
  while (::flock(descriptor, LOCK_EX) != 0) {
    const int error = errno;
    if (error == EINTR && support::pendingInterruption() == 0) continue;
    ::close(descriptor);
    support::throwIfInterrupted();
    throw FileIOError(FileIOError::Case::lockFailed, path, error);
  }
  return FileLock(path, descriptor);
}

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)), descriptor_(other.descriptor_) {
  other.descriptor_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (descriptor_ >= 0) ::close(descriptor_);
    path_ = std::move(other.path_);
    descriptor_ = other.descriptor_;
    other.descriptor_ = -1;
  }
  return *this;
}

FileLock::~FileLock() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace korvaster::files
