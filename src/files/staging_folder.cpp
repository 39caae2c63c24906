#include "files/staging_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "files/deletion_guard.h"
#include "files/file_io_error.h"
#include "files/file_manager.h"
#include "files/path_text.h"
#include "files/tree_removal.h"

namespace korvaster::files {

namespace {

constexpr std::size_t kRandomLength = 6;
constexpr int kAttempts = 8;

std::string folderPrefix(const std::string& parentPath) {
  return !parentPath.empty() && parentPath.back() == '/' ? parentPath : parentPath + "/";
}

// The file that marks a staging folder as one: the prefix without its closing "-".
std::string markName(const std::string& prefix) {
  return !prefix.empty() && prefix.back() == '-' ? prefix.substr(0, prefix.size() - 1) : prefix;
}

bool isMarked(const std::string& folder, const std::string& prefix) {
  struct stat status {};
  const std::string mark = folder + "/" + markName(prefix);
  return ::lstat(mark.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// Removes everything in the marked folder but the mark, then the mark, then the folder: a
// removal cut short leaves the folder marked, so that a later run still takes it for an
// abandoned one. Returns 0 or the errno of the first failure.
int removeMarkedFolder(const std::string& path, const std::string& mark) {
  const std::string folderPath = withoutTrailingSlashes(path);
  const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return errno;
  std::vector<std::string> names;
  const int listing = ::dup(folder);
  DIR* directory = listing >= 0 ? ::fdopendir(listing) : nullptr;
  if (directory == nullptr) {
    const int error = errno;
    if (listing >= 0) ::close(listing);
    ::close(folder);
    return error;
  }
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name != mark) names.push_back(name);
  }
  ::closedir(directory);
  int failure = 0;
  for (const auto& name : names) {
    const int error = removeTreeAt(folder, name);
    if (error != 0 && error != ENOENT && failure == 0) failure = error;
  }
  if (failure == 0 && ::unlinkat(folder, mark.c_str(), 0) != 0 && errno != ENOENT) failure = errno;
  ::close(folder);
  if (failure == 0 && ::rmdir(folderPath.c_str()) != 0) failure = errno;
  return failure;
}

// A folder made by mkdtemp and locked before anything is put in it. Between the two steps
// another run's clean-up may take the new, still unlocked folder for abandoned and remove
// it; the lock is then held on a removed folder, which the check below sees.
FileLock makeLockedFolder(const FileManager& system, const std::string& parentPath, const std::string& prefix,
                          std::string& path) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string pattern = folderPrefix(parentPath) + prefix + std::string(kRandomLength, 'X');
    if (::mkdtemp(pattern.data()) == nullptr) throw FileIOError(FileIOError::Case::writeFailed, pattern, errno);
    FileLock lock = *system.lockItem(pattern, FileLock::Target::folder, true);
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

StagingFolder::StagingFolder(const FileManager& system, const std::string& parentPath, const std::string& prefix)
    : mark_(markName(prefix)), lock_(makeLockedFolder(system, parentPath, prefix, path_)) {
  // Only a marked folder is ever taken for an abandoned one, never a user's folder that
  // merely has a similar name.
  const std::string mark = path_ + mark_;
  const int descriptor = ::open(mark.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (descriptor < 0) {
    const int error = errno;
    static_cast<void>(removeTree(path_));
    throw FileIOError(FileIOError::Case::writeFailed, mark, error);
  }
  ::close(descriptor);
}

StagingFolder::~StagingFolder() {
  if (!DeletionGuard::refusal(path_)) static_cast<void>(removeMarkedFolder(path_, mark_));
}

int StagingFolder::removeAbandoned(const FileManager& system, const std::string& parentPath,
                                   const std::string& prefix) {
  const auto names = system.contentsOfDirectory(parentPath);
  if (!names) return 0;
  int removed = 0;
  for (const auto& name : *names) {
    if (name.size() != prefix.size() + kRandomLength || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string path = folderPrefix(parentPath) + name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) continue;
    std::optional<FileLock> lock;
    try {
      lock = system.lockItem(path, FileLock::Target::folder, false);
    } catch (const FileIOError&) {
      continue;
    }
    if (!lock || DeletionGuard::refusal(path)) continue;
    // A run killed between making its folder and marking it left it empty.
    if (isMarked(path, prefix) ? removeMarkedFolder(path, markName(prefix)) == 0 : ::rmdir(path.c_str()) == 0) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace korvaster::files
