#include "files/contents_replacement_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "files/extended_attributes_posix.h"
#include "files/file_io_error.h"
#include "files/item_status_posix.h"
#include "files/path_text.h"
#include "support/write_all.h"

namespace korvaster::files {

namespace {

// error_ holds an errno value, or one of these.
constexpr int kNotRegularFile = -1;
constexpr int kChangedMeanwhile = -2;
constexpr int kOwnerNotKept = -3;
constexpr int kAttributeNotKept = -4;

std::string randomName() {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string name = kTemporaryPrefix;
  for (std::size_t index = 0; index < kTemporaryRandomLength; ++index) name += kLetters[pick(generator)];
  return name;
}

std::optional<FileVersion> versionAt(int folder, const std::string& name) {
  struct stat status {};
  if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return versionFrom(status);
}

}  // namespace

bool groupGrantsNoMoreThanOthers(unsigned mode) { return (((mode >> 3) & 7U) & ~(mode & 7U)) == 0; }

bool isLockingUnsupported(int error) { return error == ENOLCK || error == ENOTSUP || error == EOPNOTSUPP; }

int openFolderToWriteIn(const std::string& path) {
  const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0 || errno != EACCES) return folder;
    // A folder one may write in and pass through but not list (a drop box) takes a file all
    // the same: the calls relative to it need no listing.
#if defined(O_PATH)
  return ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#elif defined(O_SEARCH)
  return ::open(path.c_str(), O_SEARCH | O_DIRECTORY | O_CLOEXEC);
#else
  return folder;
#endif
}

FileVersion versionFrom(const struct stat& status) {
#ifdef __APPLE__
  const struct timespec& modified = status.st_mtimespec;
  const struct timespec& changed = status.st_ctimespec;
#else
  const struct timespec& modified = status.st_mtim;
  const struct timespec& changed = status.st_ctim;
#endif
  return FileVersion{identityFrom(status),
                     status.st_size,
                     static_cast<long long>(modified.tv_sec),
                     static_cast<long>(modified.tv_nsec),
                     static_cast<long long>(changed.tv_sec),
                     static_cast<long>(changed.tv_nsec),
                     static_cast<std::uintmax_t>(status.st_nlink)};
}

std::optional<FileVersion> versionOf(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
  return versionFrom(status);
}

PosixContentsReplacement::PosixContentsReplacement(const std::string& path, Mode mode,
                                                   std::string_view original, bool mayCreate)
    : name_(folderAndName(path).second),
      shownPath_(path),
      mode_(mode),
      durable_(mode == Mode::atomically),
      mayCreate_(mayCreate && mode == Mode::atomically),
      original_(original) {
  // The folder is found by its path once; from then on the file is reached through it.
  folder_ = openFolderToWriteIn(folderAndName(path).first);
  if (folder_ < 0) error_ = errno;
}

PosixContentsReplacement::PosixContentsReplacement(int folder, std::string name, std::string shownPath,
                                                   Mode mode, std::string_view original)
    : folder_(folder),
      name_(std::move(name)),
      shownPath_(std::move(shownPath)),
      mode_(mode),
      durable_(mode == Mode::atomically),
      mayCreate_(false),
      original_(original) {}

PosixContentsReplacement::~PosixContentsReplacement() {
  if (!committed_) abandon();
  if (folder_ >= 0) ::close(folder_);
}

bool PosixContentsReplacement::open() {
  struct stat status {};
  // Never through a link, and never in place of a device, a pipe or a folder: what is written
  // by name replaces a regular file or nothing.
  if (::fstatat(folder_, name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(status.st_mode)) return error_ = kNotRegularFile, false;
    if (mode_ == Mode::atomically) {
      // A writable folder would let the rename replace a file this process may not write (one
      // of another owner, or made read-only): its owner's say counts, not the folder's.
      if (::faccessat(folder_, name_.c_str(), W_OK, AT_EACCESS) != 0) return error_ = errno, false;
    }
    permissions_ = static_cast<unsigned>(status.st_mode & 07777);
    owner_ = status.st_uid;
    group_ = status.st_gid;
  } else if (mayCreate_ && errno == ENOENT) {
    permissions_ = 0644;
  } else {
    return error_ = errno, false;
  }
  if (mode_ == Mode::inPlace) {
    // Written over from the start and cut to length at the end, not emptied first: the
    // pages of the old contents are reused, and some file systems push a file emptied
    // and refilled to disk when it is closed, as if it were replaced by a careless editor.
    descriptor_ = ::openat(folder_, name_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    truncated_ = descriptor_ >= 0;
    // A read-only file (a checkout may make them so) is replaced beside itself instead,
    // with its bits kept.
    if (descriptor_ < 0 && (errno == EACCES || errno == EPERM)) mode_ = Mode::atomically;
  }
  if (mode_ == Mode::atomically && !openTemporary()) return false;
  if (descriptor_ < 0) error_ = errno;
  return descriptor_ >= 0;
}

bool PosixContentsReplacement::openTemporary() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = randomName();
    const int descriptor =
        ::openat(folder_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) {
      if (errno == EEXIST) continue;
      return error_ = errno, false;
    }
    // Locked while it lives, so that another run tidying this folder leaves it alone. A tidier
    // that got to it first holds the lock, or has already removed the name: take another. A
    // file system without locks leaves it unlocked, as a tidier there cannot lock it either.
    const int locked = ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    if (locked == EWOULDBLOCK) {  // the tidier that holds it removes it
      ::close(descriptor);
      continue;
    }
    struct stat opened {};
    int failed = locked == 0 || isLockingUnsupported(locked) ? 0 : locked;
    if (failed == 0 && ::fstat(descriptor, &opened) != 0) failed = errno;
    if (failed != 0) {
      ::unlinkat(folder_, name.c_str(), 0);
      ::close(descriptor);
      return error_ = failed, false;
    }
    struct stat named {};
    if (::fstatat(folder_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        identityFrom(opened) == identityFrom(named)) {
      descriptor_ = descriptor;
      temporary_ = std::move(name);
      return true;
    }
    ::close(descriptor);
  }
  return error_ = EEXIST, false;
}

bool PosixContentsReplacement::write(std::string_view block) {
  if (error_ != 0) return false;
  if (descriptor_ < 0 && !open()) return false;
  if (!support::writeAll(descriptor_, block)) error_ = errno;
  written_ += static_cast<off_t>(block.size());
  return error_ == 0;
}

int PosixContentsReplacement::keptOwnerAndAttributes() {
  if (owner_ != static_cast<uid_t>(-1)) {
    // The new file must be the old one's owner's and group's. Only root may give a file away;
    // anyone else may give it only a group they are in: where the system refuses, the file
    // stays as it was rather than change hands. A file system that gives every file the
    // same owner needs no change at all.
    struct stat made {};
    if (::fstat(descriptor_, &made) != 0) return errno;
    if (made.st_uid != owner_ && ::fchown(descriptor_, owner_, static_cast<gid_t>(-1)) != 0) {
      return kOwnerNotKept;
    }
    // A group that grants nothing beyond what everyone may do (a checkout's root group on a
    // 0644 file) is no loss: the file takes the new file's group then.
    if (made.st_gid != group_ && ::fchown(descriptor_, static_cast<uid_t>(-1), group_) != 0 &&
        !groupGrantsNoMoreThanOthers(permissions_)) {
      return kOwnerNotKept;
    }
    const int original = ::openat(folder_, name_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (original < 0) return errno;
    attributeError_ = copyExtendedAttributes(original, descriptor_, attribute_);
    ::close(original);
    if (attributeError_ != 0) return kAttributeNotKept;
  }
  // After the owner and the attributes: a change of owner clears some bits, and an access
  // list carries its own.
  return ::fchmod(descriptor_, static_cast<mode_t>(permissions_)) == 0 ? 0 : errno;
}

void PosixContentsReplacement::commit() {
  if (error_ == 0 && descriptor_ < 0) open();  // empty contents still replace the file
  if (error_ == 0 && mode_ == Mode::atomically) error_ = keptOwnerAndAttributes();
  if (error_ == 0 && mode_ == Mode::inPlace && ::ftruncate(descriptor_, written_) != 0) error_ = errno;
  // The new contents reach the disk before the rename makes them the file's: a power loss
  // then leaves the old file or the new one, never an empty one.
  if (error_ == 0 && durable_ && mode_ == Mode::atomically && ::fsync(descriptor_) != 0) error_ = errno;
  if (error_ == 0 && mode_ == Mode::inPlace) {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) error_ = errno;
  }
  if (error_ == 0 && mode_ == Mode::atomically && expected_ && versionAt(folder_, name_) != expected_)
    error_ = kChangedMeanwhile;
  // The temporary stays open, and so locked, until it has its name: a tidier never takes it.
  if (error_ == 0 && mode_ == Mode::atomically &&
      ::renameat(folder_, temporary_.c_str(), folder_, name_.c_str()) != 0)
    error_ = errno;
  if (error_ != 0) fail(error_);
  committed_ = true;
  if (descriptor_ >= 0) ::close(descriptor_);  // flushed already; the file is in place
  descriptor_ = -1;
  // The file is in place; a folder that cannot be flushed leaves it there, so it is no failure.
  if (durable_ && mode_ == Mode::atomically) static_cast<void>(::fsync(folder_));
}

void PosixContentsReplacement::fail(int error) {
  abandon();
  committed_ = true;
  if (error == kNotRegularFile)
    throw FileIOError(FileIOError::Case::writeFailed, shownPath_, "not a regular file");
  if (error == kChangedMeanwhile) {
    throw FileIOError(FileIOError::Case::writeFailed, shownPath_,
                      "it was changed by someone else while it was rewritten");
  }
  if (error == kOwnerNotKept) {
    throw FileIOError(FileIOError::Case::writeFailed, shownPath_,
                      "its owner or group could not be kept by a new file, so it was left as it was");
  }
  if (error == kAttributeNotKept) {
    throw FileIOError(FileIOError::Case::writeFailed, shownPath_,
                      "its extended attribute " + attribute_ + " could not be kept (" +
                          std::string(std::strerror(attributeError_)) + "), so it was left as it was");
  }
  throw FileIOError(FileIOError::Case::writeFailed, shownPath_, error);
}

void PosixContentsReplacement::abandon() {
  if (truncated_) {
    // Truncating first frees the room the original needs.
    if (descriptor_ < 0) {
      descriptor_ = ::openat(folder_, name_.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    } else {
      // Best effort: a file that cannot be emptied still gets the original's bytes first.
      [[maybe_unused]] const int emptied = ::ftruncate(descriptor_, 0);
      static_cast<void>(::lseek(descriptor_, 0, SEEK_SET));
    }
    if (descriptor_ >= 0) static_cast<void>(support::writeAll(descriptor_, original_));
  }
  // Removed while still held, so that no tidier sees it half gone.
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

}  // namespace korvaster::files
