#include "files/opened_folder_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "files/clone_copy_posix.h"
#include "files/contents_replacement_posix.h"
#include "files/file_contents_posix.h"
#include "files/file_io_error.h"
#include "files/item_status_posix.h"
#include "files/path_text.h"

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
  return joinedPath(shownPath_, std::string(name));
}

int PosixOpenedFolder::openChild(std::string_view name, std::shared_ptr<OpenedFolder>& child) const {
  const std::string entry(name);
  const int descriptor = ::openat(descriptor_, entry.c_str(), kFolderFlags | O_NOFOLLOW);
  struct stat status {};
  if (descriptor < 0 || ::fstat(descriptor, &status) != 0) {
    const int error = errno;
    if (descriptor >= 0) ::close(descriptor);
    return error;
  }
  child = std::make_shared<PosixOpenedFolder>(descriptor, childPath(name), identityFrom(status));
  return 0;
}

int PosixOpenedFolder::list(std::vector<std::string>& names) const {
  // A descriptor of its own: the listing moves and closes it.
  const int listed = ::openat(descriptor_, ".", kFolderFlags);
  DIR* folder = listed >= 0 ? ::fdopendir(listed) : nullptr;
  if (folder == nullptr) {
    const int error = errno;
    if (listed >= 0) ::close(listed);
    return error;
  }
  errno = 0;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view entryName = entry->d_name;
    if (entryName != "." && entryName != "..") names.emplace_back(entryName);
  }
  const int error = errno;
  ::closedir(folder);
  return error;
}

int PosixOpenedFolder::statusOf(std::string_view name, ItemStatus& status) const {
  struct stat found {};
  if (::fstatat(descriptor_, std::string(name).c_str(), &found, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  status = statusFrom(found);
  return 0;
}

int PosixOpenedFolder::removeEntry(std::string_view name, bool folder) const {
  return ::unlinkat(descriptor_, std::string(name).c_str(), folder ? AT_REMOVEDIR : 0) == 0 ? 0 : errno;
}

int PosixOpenedFolder::setMode(std::string_view name, unsigned mode) const {
  return ::fchmodat(descriptor_, std::string(name).c_str(), static_cast<mode_t>(mode), 0) == 0 ? 0 : errno;
}

int PosixOpenedFolder::makeFolder(std::string_view name, unsigned mode) const {
  return ::mkdirat(descriptor_, std::string(name).c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

int PosixOpenedFolder::makeLink(std::string_view name, const std::string& target) const {
  return ::symlinkat(target.c_str(), descriptor_, std::string(name).c_str()) == 0 ? 0 : errno;
}

int PosixOpenedFolder::readLink(std::string_view name, std::string& target) const {
  // No link may lead further than a path can be long.
  char buffer[PATH_MAX];
  const ssize_t length = ::readlinkat(descriptor_, std::string(name).c_str(), buffer, sizeof buffer);
  if (length < 0) return errno;
  if (static_cast<std::size_t>(length) >= sizeof buffer) return ENAMETOOLONG;
  target.assign(buffer, static_cast<std::size_t>(length));
  return 0;
}

int PosixOpenedFolder::moveEntry(std::string_view name, const OpenedFolder& destination,
                                 std::string_view toName) const {
  const auto* to = dynamic_cast<const PosixOpenedFolder*>(&destination);
  if (to == nullptr) return EXDEV;
  return ::renameat(descriptor_, std::string(name).c_str(), to->descriptor_, std::string(toName).c_str()) == 0
             ? 0
             : errno;
}

int PosixOpenedFolder::copyFile(std::string_view name, const OpenedFolder& destination, unsigned mode,
                                bool& sourceFailed) const {
  const auto* to = dynamic_cast<const PosixOpenedFolder*>(&destination);
  if (to == nullptr) return EXDEV;
  const std::string entry(name);
  sourceFailed = false;
  return copyFileContents(descriptor_, entry, to->descriptor_, entry, static_cast<mode_t>(mode), &sourceFailed)
             ? 0
             : errno;
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
  std::vector<std::string> names;
  // A folder that cannot be listed, or only in part, is tidied as far as it was listed.
  static_cast<void>(list(names));
  int removed = 0;
  for (const auto& name : names) removed += isTemporaryName(name) && removeIfAbandoned(descriptor_, name) ? 1 : 0;
  return removed;
}

}  // namespace korvaster::files
