#include "files/opened_folder_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "files/contents_replacement_posix.h"
#include "files/file_contents.h"
#include "files/file_io_error.h"

namespace korvaster::files {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

bool isTemporaryName(const std::string& name) {
  const std::string prefix = kTemporaryPrefix;
  return name.size() == prefix.size() + kTemporaryRandomLength && name.compare(0, prefix.size(), prefix) == 0;
}

// Removes the temporary `name` unless a live replacement holds its lock; the lock is held
// while the name is checked and removed, so that a replacement that has just made it either
// holds it first or sees it gone and makes another. Where the file system keeps no locks, or
// this process may not open the file to lock it, it goes by its name alone, as no
// replacement there could have locked it either.
bool removeIfAbandoned(int folder, const std::string& name) {
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  // Some file systems lock only files open for writing.
  int descriptor = ::openat(folder, name.c_str(), O_RDWR | kFlags);
  if (descriptor < 0 && errno == EACCES) descriptor = ::openat(folder, name.c_str(), O_RDONLY | kFlags);
  const bool unreadable = descriptor < 0 && errno == EACCES;
  struct stat opened {};
  struct stat named {};
  if (descriptor < 0 || ::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    if (descriptor >= 0) ::close(descriptor);
    return unreadable && ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(named.st_mode) && ::unlinkat(folder, name.c_str(), 0) == 0;
  }
  const int locked = ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
  const bool removed = (locked == 0 || isLockingUnsupported(locked) || locked == EBADF) &&
                       ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                       identityFrom(named) == identityFrom(opened) &&
                       ::unlinkat(folder, name.c_str(), 0) == 0;
  ::close(descriptor);
  return removed;
}

}  // namespace

std::shared_ptr<PosixOpenedFolder> PosixOpenedFolder::open(const std::string& path) {
  const int descriptor = ::open(path.c_str(), kFolderFlags);
  struct stat status {};
  if (descriptor < 0 || ::fstat(descriptor, &status) != 0) {
    const int error = errno;
    if (descriptor >= 0) ::close(descriptor);
    throw FileIOError(FileIOError::Case::readFailed, path, error);
  }
  return std::make_shared<PosixOpenedFolder>(descriptor, path, identityFrom(status));
}

PosixOpenedFolder::PosixOpenedFolder(int descriptor, std::string shownPath, ItemIdentity identity)
    : descriptor_(descriptor), shownPath_(std::move(shownPath)), identity_(identity) {}

PosixOpenedFolder::~PosixOpenedFolder() { ::close(descriptor_); }

std::string PosixOpenedFolder::childPath(std::string_view name) const {
  const bool slash = !shownPath_.empty() && shownPath_.back() == '/';
  return shownPath_ + (slash ? "" : "/") + std::string(name);
}

std::shared_ptr<OpenedFolder> PosixOpenedFolder::openFolder(std::string_view name) const {
  const std::string child(name);
  const int descriptor = ::openat(descriptor_, child.c_str(), kFolderFlags | O_NOFOLLOW);
  struct stat status {};
  if (descriptor < 0 || ::fstat(descriptor, &status) != 0) {
    const int error = errno;
    if (descriptor >= 0) ::close(descriptor);
    // A link refused by O_NOFOLLOW gives ELOOP, or ENOTDIR on some systems.
    if (error == ELOOP || error == ENOTDIR) {
      throw FileIOError(FileIOError::Case::writeFailed, childPath(name),
                        "it is no longer a folder of the project: a link or another item took its place");
    }
    throw FileIOError(FileIOError::Case::writeFailed, childPath(name), error);
  }
  return std::make_shared<PosixOpenedFolder>(descriptor, childPath(name), identityFrom(status));
}

std::optional<FileVersion> PosixOpenedFolder::versionOf(std::string_view name) const {
  struct stat status {};
  if (::fstatat(descriptor_, std::string(name).c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return std::nullopt;
  return versionFrom(status);
}

std::string PosixOpenedFolder::readContents(std::string_view name, std::size_t maximumSize) const {
  // Without O_NONBLOCK a FIFO would block the open until someone writes to it.
  const int descriptor =
      ::openat(descriptor_, std::string(name).c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) {
    const int error = errno;
    throw FileIOError(FileIOError::Case::readFailed, childPath(name), error);
  }
  return readOpenedFile(descriptor, childPath(name), maximumSize);
}

std::unique_ptr<ContentsReplacement> PosixOpenedFolder::replaceContents(std::string_view name,
                                                                        ContentsReplacement::Mode mode,
                                                                        std::string_view original) const {
  const int descriptor = ::fcntl(descriptor_, F_DUPFD_CLOEXEC, 0);
  if (descriptor < 0) {
    const int error = errno;
    throw FileIOError(FileIOError::Case::writeFailed, childPath(name), error);
  }
  return std::make_unique<PosixContentsReplacement>(descriptor, std::string(name), childPath(name), mode,
                                                    original);
}

int PosixOpenedFolder::removeAbandonedTemporaries() const {
  const int listed = ::openat(descriptor_, ".", kFolderFlags);
  DIR* folder = listed >= 0 ? ::fdopendir(listed) : nullptr;
  if (folder == nullptr) {
    if (listed >= 0) ::close(listed);
    return 0;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(folder)) {
    if (isTemporaryName(entry->d_name)) names.emplace_back(entry->d_name);
  }
  ::closedir(folder);
  int removed = 0;
  for (const auto& name : names) removed += removeIfAbandoned(descriptor_, name) ? 1 : 0;
  return removed;
}

}  // namespace korvaster::files
