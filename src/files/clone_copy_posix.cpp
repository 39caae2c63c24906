#include "files/clone_copy_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "support/write_all.h"

#if defined(__APPLE__)
#include <copyfile.h>
#include <sys/clonefile.h>
#elif defined(__linux__)
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace korvaster::files {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~FileDescriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return descriptor_; }
  bool valid() const { return descriptor_ >= 0; }
  bool close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0;
  }

 private:
  int descriptor_;
};

bool readWriteCopy(int from, int to) {
  char buffer[1 << 16];
  while (true) {
    const ssize_t count = ::read(from, buffer, sizeof buffer);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!support::writeAll(to, std::string_view(buffer, static_cast<std::size_t>(count)))) return false;
  }
}

#if defined(__linux__)
// The device whose files the file system refused to clone; a process copies one tree, so
// after one refusal the rest of its files go straight to the next way.
std::atomic<unsigned long long> gDeviceWithoutClones{~0ULL};

// 1: copied; 0: not supported here, try the next way; -1: failed.
int kernelCopy(int from, int to, const struct stat& source, const KernelCopyCalls& calls) {
  const auto device = static_cast<unsigned long long>(source.st_dev);
  if (gDeviceWithoutClones.load(std::memory_order_relaxed) != device) {
    if (calls.clone(to, from) == 0) return 1;
    if (errno == EOPNOTSUPP || errno == EXDEV || errno == EINVAL || errno == ENOTTY) {
      gDeviceWithoutClones.store(device, std::memory_order_relaxed);
    }
  }
  const off_t size = source.st_size;
  off_t remaining = size;
  bool copiedAny = false;
  while (remaining > 0) {
    const ssize_t step = calls.copyRange(from, to, static_cast<std::size_t>(remaining));
    if (step < 0) {
      if (errno == EINTR) continue;
      if (!copiedAny && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
        return 0;
      return -1;
    }
    if (step == 0) break;  // the file shrank while we copied; what is left is read below
    copiedAny = true;
    remaining -= step;
  }
  return remaining <= 0 ? 1 : (readWriteCopy(from, to) ? 1 : -1);
}
#endif

}  // namespace

const KernelCopyCalls& systemKernelCopyCalls() {
#if defined(__linux__)
  static const KernelCopyCalls calls{[](int to, int from) { return ::ioctl(to, FICLONE, from); },
                                     [](int from, int to, std::size_t length) {
                                       return ::copy_file_range(from, nullptr, to, nullptr, length, 0);
                                     }};
#else
  static const KernelCopyCalls calls{[](int, int) { return errno = EOPNOTSUPP, -1; },
                                     [](int, int, std::size_t) -> ssize_t { return errno = EOPNOTSUPP, -1; }};
#endif
  return calls;
}

bool copyFileContents(int fromFolder, const std::string& source, int toFolder, const std::string& destination,
                      mode_t mode, bool* sourceFailed, const KernelCopyCalls& calls) {
#if defined(__APPLE__)
  if (::clonefileat(fromFolder, source.c_str(), toFolder, destination.c_str(), CLONE_NOFOLLOW) == 0)
    return ::fchmodat(toFolder, destination.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0;
#endif
  FileDescriptor from(::openat(fromFolder, source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!from.valid()) {
    if (sourceFailed != nullptr) *sourceFailed = true;
    return false;
  }
  struct stat status {};
  if (::fstat(from.get(), &status) != 0) return false;
  FileDescriptor to(::openat(toFolder, destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                             S_IRUSR | S_IWUSR));
  if (!to.valid()) return false;
  bool copied = false;
#if defined(__APPLE__)
  static_cast<void>(calls);  // the Mac's own copy clones where it can
  copied = ::fcopyfile(from.get(), to.get(), nullptr, COPYFILE_DATA) == 0;
#elif defined(__linux__)
  const int kernel = kernelCopy(from.get(), to.get(), status, calls);
  if (kernel < 0) return false;
  copied = kernel == 1;
#endif
  if (!copied && !readWriteCopy(from.get(), to.get())) return false;
  if (::fchmod(to.get(), mode) != 0) return false;
  return to.close();
}

}  // namespace korvaster::files
