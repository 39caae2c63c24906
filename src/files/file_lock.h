// FileLock: an exclusive advisory lock on a folder or a lock file, held for as long as the
// object lives and released by the system when the process ends, however it ends.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace korvaster::files {

class FileLock {
 public:
  enum class Target {
    folder,    // an existing folder, locked through a handle on it
    lockFile,  // a plain file, created when missing and never removed
  };

  // The lock, or nothing when another process holds it. Throws FileIOError(lockFailed)
  // when the target cannot be opened.
  static std::optional<FileLock> tryAcquire(const std::string& path, Target target);
  // Waits for the lock; `onWait` is called once, before waiting, when another process holds
  // it. Throws support::Interrupted when a signal ends the wait, FileIOError otherwise.
  static FileLock acquire(const std::string& path, Target target, const std::function<void()>& onWait);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  const std::string& path() const { return path_; }
  // The open handle the lock is held on.
  int descriptor() const { return descriptor_; }

 private:
  FileLock(std::string path, int descriptor) : path_(std::move(path)), descriptor_(descriptor) {}

  std::string path_;
  int descriptor_ = -1;
};

}  // namespace korvaster::files
