#include "files/posix_contents_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_io_error.h"
#include "files/path_text.h"
#include "support/write_all.h"

namespace korvaster::files {

namespace {

// error_ holds an errno value, or one of these.
constexpr int kNotRegularFile = -1;
constexpr int kChangedMeanwhile = -2;

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
                     static_cast<long>(changed.tv_nsec)};
}

// Flushes the folder's entries, so that a rename in it survives a power loss.
int syncFolder(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return errno;
  const int result = ::fsync(descriptor) == 0 ? 0 : errno;
  ::close(descriptor);
  // Some file systems cannot sync a folder; the rename itself has been done all the same.
  return result == EINVAL || result == ENOTSUP ? 0 : result;
}

}  // namespace

std::optional<FileVersion> versionOf(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
  return versionFrom(status);
}

PosixContentsReplacement::PosixContentsReplacement(std::string path, Mode mode, std::string_view original,
                                                   bool mayCreate)
    : path_(std::move(path)),
      mode_(mode),
      durable_(mode == Mode::atomically),
      mayCreate_(mayCreate && mode == Mode::atomically),
      original_(original) {}

PosixContentsReplacement::~PosixContentsReplacement() {
  if (!committed_) abandon();
}

bool PosixContentsReplacement::open() {
  struct stat status {};
  // Never through a link, and never in place of a device, a pipe or a folder: what is written
  // by name replaces a regular file or nothing.
  if (::lstat(path_.c_str(), &status) == 0) {
    if (!S_ISREG(status.st_mode)) return error_ = kNotRegularFile, false;
    // A writable folder would let the rename replace a file this process may not write (one
    // of another owner, or made read-only): its owner's say counts, not the folder's.
    if (mode_ == Mode::atomically && ::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) != 0) {
      return error_ = errno, false;
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
    descriptor_ = ::open(path_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    truncated_ = descriptor_ >= 0;
    // A read-only file (a checkout may make them so) is replaced beside itself instead,
    // with its bits kept.
    if (descriptor_ < 0 && (errno == EACCES || errno == EPERM)) mode_ = Mode::atomically;
  }
  if (mode_ == Mode::atomically) {
    temporary_ =
        folderAndName(path_).first + "/" + kTemporaryPrefix + std::string(kTemporaryRandomLength, 'X');
    descriptor_ = ::mkstemp(temporary_.data());
    if (descriptor_ < 0) temporary_.clear();
  }
  if (descriptor_ < 0) error_ = errno;
  return descriptor_ >= 0;
}

bool PosixContentsReplacement::write(std::string_view block) {
  if (error_ != 0) return false;
  if (descriptor_ < 0 && !open()) return false;
  if (!support::writeAll(descriptor_, block)) error_ = errno;
  written_ += static_cast<off_t>(block.size());
  return error_ == 0;
}

void PosixContentsReplacement::commit() {
  if (error_ == 0 && descriptor_ < 0) open();  // empty contents still replace the file
  if (error_ == 0 && mode_ == Mode::atomically) {
    // Root rewriting a user's file must not leave it root's: the user might no longer read it.
    // Anyone else can only give a file to themselves, which it already is.
    if (owner_ != static_cast<uid_t>(-1) && ::geteuid() == 0)
      static_cast<void>(::fchown(descriptor_, owner_, group_));
    if (::fchmod(descriptor_, static_cast<mode_t>(permissions_)) != 0) error_ = errno;
  }
  if (error_ == 0 && mode_ == Mode::inPlace && ::ftruncate(descriptor_, written_) != 0) error_ = errno;
  // The new contents reach the disk before the rename makes them the file's: a power loss
  // then leaves the old file or the new one, never an empty one.
  if (error_ == 0 && durable_ && mode_ == Mode::atomically && ::fsync(descriptor_) != 0) error_ = errno;
  if (error_ == 0) {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) error_ = errno;
  }
  if (error_ == 0 && mode_ == Mode::atomically && expected_ && versionOf(path_) != expected_)
    error_ = kChangedMeanwhile;
  if (error_ == 0 && mode_ == Mode::atomically && ::rename(temporary_.c_str(), path_.c_str()) != 0)
    error_ = errno;
  if (error_ != 0) {
    const int error = error_;
    abandon();
    committed_ = true;
    if (error == kNotRegularFile)
      throw FileIOError(FileIOError::Case::writeFailed, path_, "not a regular file");
    if (error == kChangedMeanwhile) {
      throw FileIOError(FileIOError::Case::writeFailed, path_,
                        "it was changed by someone else while it was rewritten");
    }
    throw FileIOError(FileIOError::Case::writeFailed, path_, error);
  }
  committed_ = true;
  // The file is in place; a folder that cannot be flushed leaves it there, so it is no failure.
  if (durable_ && mode_ == Mode::atomically) static_cast<void>(syncFolder(folderAndName(path_).first));
}

void PosixContentsReplacement::abandon() {
  if (truncated_) {
    // Truncating first frees the room the original needs.
    if (descriptor_ < 0) {
      descriptor_ = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    } else {
      static_cast<void>(::ftruncate(descriptor_, 0));
      static_cast<void>(::lseek(descriptor_, 0, SEEK_SET));
    }
    if (descriptor_ >= 0) static_cast<void>(support::writeAll(descriptor_, original_));
  }
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

}  // namespace korvaster::files
