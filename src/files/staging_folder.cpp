#include "files/staging_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "files/deletion_guard.h"
#include "files/file_io_error.h"
#include "files/file_manager.h"
#include "files/tree_removal.h"

namespace korvaster::files {

namespace {

constexpr std::size_t kRandomLength = 6;
constexpr int kAttempts = 8;

std::string folderPrefix(const std::string& parentPath) {
  return !parentPath.empty() && parentPath.back() == '/' ? parentPath : parentPath + "/";
}

// A folder made by mkdtemp and locked before anything is put in it. Between the two steps
// another run's clean-up may take the new, still unlocked folder for abandoned and remove
// it; the lock is then held on a removed folder, which the check below sees.
FileLock makeLockedFolder(const std::string& parentPath, const std::string& prefix, std::string& path) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string pattern = folderPrefix(parentPath) + prefix + std::string(kRandomLength, 'X');
    if (::mkdtemp(pattern.data()) == nullptr) throw FileIOError(FileIOError::Case::writeFailed, pattern, errno);
    FileLock lock = FileLock::acquire(pattern, FileLock::Target::folder, nullptr);
    struct stat held {};
    struct stat there {};
    if (::fstat(lock.descriptor(), &held) == 0 && ::lstat(pattern.c_str(), &there) == 0 &&
        held.st_dev == there.st_dev && held.st_ino == there.st_ino) {
      path = pattern + "/";
      return lock;
    }
  }
  throw FileIOError(FileIOError::Case::writeFailed, folderPrefix(parentPath) + prefix,
                    "another run kept removing the new staging folder");
}

}  // namespace

StagingFolder::StagingFolder(const std::string& parentPath, const std::string& prefix)
    : lock_(makeLockedFolder(parentPath, prefix, path_)) {}

StagingFolder::~StagingFolder() {
  if (!DeletionGuard::refusal(path_)) static_cast<void>(removeTree(path_));
}

int StagingFolder::removeAbandoned(const std::string& parentPath, const std::string& prefix) {
  const auto names = FileManager().contentsOfDirectory(parentPath);
  if (!names) return 0;
  int removed = 0;
  for (const auto& name : *names) {
    if (name.size() != prefix.size() + kRandomLength || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string path = folderPrefix(parentPath) + name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) continue;
    std::optional<FileLock> lock;
    try {
      lock = FileLock::tryAcquire(path, FileLock::Target::folder);
    } catch (const FileIOError&) {
      continue;
    }
    if (!lock || DeletionGuard::refusal(path)) continue;
    if (removeTree(path) == 0) ++removed;
  }
  return removed;
}

}  // namespace korvaster::files
