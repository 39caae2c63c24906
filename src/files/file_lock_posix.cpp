#include "files/file_lock_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "files/file_io_error.h"
#include "files/item_status_posix.h"
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

class DescriptorHold final : public FileLock::Hold {
 public:
  explicit DescriptorHold(int descriptor) : descriptor_(descriptor) {}
  ~DescriptorHold() override { ::close(descriptor_); }
  DescriptorHold(const DescriptorHold&) = delete;
  DescriptorHold& operator=(const DescriptorHold&) = delete;

  std::optional<ItemIdentity> heldIdentity() const override {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) return std::nullopt;
    return identityFrom(status);
  }

 private:
  int descriptor_;
};

FileLock heldLock(const std::string& path, int descriptor) {
  return FileLock(path, std::make_unique<DescriptorHold>(descriptor));
}

}  // namespace

std::optional<FileLock> tryAcquirePosixLock(const std::string& path, FileLock::Target target) {
  const int descriptor = openTarget(path, target);
  while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    ::close(descriptor);
    if (error == EWOULDBLOCK) return std::nullopt;
    throw FileIOError(FileIOError::Case::lockFailed, path, error);
  }
  return heldLock(path, descriptor);
}

FileLock acquirePosixLock(const std::string& path, FileLock::Target target, const std::function<void()>& onWait) {
  if (auto lock = tryAcquirePosixLock(path, target)) return std::move(*lock);
  if (onWait) onWait();
  const int descriptor = openTarget(path, target);
  while (::flock(descriptor, LOCK_EX) != 0) {
    const int error = errno;
    if (error == EINTR && support::pendingInterruption() == 0) continue;
    ::close(descriptor);
    support::throwIfInterrupted();
    throw FileIOError(FileIOError::Case::lockFailed, path, error);
  }
  return heldLock(path, descriptor);
}

}  // namespace korvaster::files
