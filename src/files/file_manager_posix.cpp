#include "files/file_manager_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/contents_replacement_posix.h"
#include "files/deletion_guard.h"
#include "files/file_contents_posix.h"
#include "files/file_lock_posix.h"
#include "files/item_status_posix.h"
#include "files/opened_folder_posix.h"
#include "files/path_text.h"
#include "support/environment.h"
#include "support/worker_pool.h"
#include "support/write_all.h"

namespace korvaster::files {

PosixFileManager::PosixFileManager(CopyFilter filter, const support::Environment* environment)
    : environment_(environment != nullptr ? environment : &support::processEnvironment()) {
  copyFilter_ = std::move(filter);
  copyHelpers_ = support::workerCount(*environment_) - 1;
}

std::shared_ptr<FileManager> PosixFileManager::withCopyFilter(CopyFilter filter) const {
  return sharingGuard(std::make_shared<PosixFileManager>(std::move(filter), environment_));
}

namespace {

// A folder that is not readable can still be walked through: only its identity is needed.
#ifdef O_PATH
constexpr int kWalkFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kWalkFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

bool fail(Failure* failure, const std::string& path, int error) {
  if (failure != nullptr && failure->reason.empty()) *failure = Failure{path, std::strerror(error)};
  return false;
}
}  // namespace

std::string PosixFileManager::currentDirectoryPath() const {
  std::error_code error;
  const auto path = std::filesystem::current_path(error);
  return error ? std::string() : path.string();
}

std::string PosixFileManager::readContents(const std::string& path, std::size_t maximumSize) const {
  return files::readContents(path, maximumSize);
}

void PosixFileManager::writeAtomically(const std::string& path, std::string_view contents,
                                       bool mayCreate) const {
  files::writeAtomically(path, contents, mayCreate);
}

void PosixFileManager::appendToFile(const std::string& path, std::string_view contents) const {
  files::appendToFile(path, contents);
}

void PosixFileManager::replaceLinkWithCopy(const std::string& path, const std::string& from) const {
  files::replaceLinkWithCopy(path, from);
}

std::shared_ptr<OpenedFolder> PosixFileManager::openFolder(const std::string& path) const {
  return PosixOpenedFolder::open(path);
}

std::optional<std::string> PosixFileManager::realPath(const std::string& path) const {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

bool PosixFileManager::isSameOrWithin(const std::string& path, const Identity& outer) const {
  int folder = ::open(path.c_str(), kWalkFlags);
  if (folder < 0) return false;
  bool found = false;
  struct stat status {};
  while (::fstat(folder, &status) == 0) {
    if (identityFrom(status) == outer) {
      found = true;
      break;
    }
    const int parent = ::openat(folder, "..", kWalkFlags);
    if (parent < 0) break;
    struct stat parentStatus {};
    // The root is its own "..".
    const bool atRoot = ::fstat(parent, &parentStatus) == 0 && identityFrom(parentStatus) == identityFrom(status);
    ::close(folder);
    folder = parent;
    if (atRoot) break;
  }
  ::close(folder);
  return found;
}

bool PosixFileManager::canWriteIn(const std::string& path, Failure* failure) const {
  return ::access(path.c_str(), W_OK | X_OK) == 0 || fail(failure, path, errno);
}

bool PosixFileManager::canWrite(const std::string& path, Failure* failure) const {
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return fail(failure, path, errno);
  struct stat found {};
  if (::lstat(path.c_str(), &found) != 0) return fail(failure, path, errno);
  // A replacement is a new file, which only root may give to another owner, or to a group
  // this process is not in (where that group's bits would count).
  if (::geteuid() == 0) return true;
  if (found.st_uid != ::geteuid()) {
    if (failure != nullptr)
      *failure = Failure{path, "it belongs to another user, whom a new file could not keep as its owner"};
    return false;
  }
  if (found.st_gid == ::getegid() || groupGrantsNoMoreThanOthers(static_cast<unsigned>(found.st_mode)))
    return true;
  std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
  const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
  if (std::find(groups.begin(), groups.begin() + std::max(count, 0), found.st_gid) !=
      groups.begin() + std::max(count, 0))
    return true;
  if (failure != nullptr)
    *failure = Failure{path, "its group is not one of this user's, and a new file could not keep it"};
  return false;
}

std::optional<std::string> PosixFileManager::createUniqueFolder(const std::string& prefix,
                                                                Failure* failure) const {
  std::string pattern = prefix + "XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) return pattern;
  fail(failure, pattern, errno);
  return std::nullopt;
}

bool PosixFileManager::createFile(const std::string& path, std::string_view contents,
                                  Failure* failure) const {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (descriptor < 0) return fail(failure, path, errno);
  const bool written = support::writeAll(descriptor, contents);
  const int error = errno;
  if (::close(descriptor) != 0) return fail(failure, path, errno);
  return written || fail(failure, path, error);
}

std::optional<FileLock> PosixFileManager::lockItem(const std::string& path, FileLock::Target target,
                                                   bool wait, const std::function<void()>& onWait) const {
  if (wait) return acquirePosixLock(path, target, onWait);
  return tryAcquirePosixLock(path, target);
}

std::optional<std::string> PosixFileManager::homeDirectoryPath() const {
  auto home = environment_->variable("HOME");
  if (home && home->empty()) return std::nullopt;
  return home;
}

std::optional<ItemStatus> PosixFileManager::status(const std::string& path, bool followLinks) const {
  struct stat found {};
  if ((followLinks ? ::stat(path.c_str(), &found) : ::lstat(path.c_str(), &found)) != 0) return std::nullopt;
  return statusFrom(found);
}

}  // namespace korvaster::files
