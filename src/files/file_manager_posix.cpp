#include "files/file_manager_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/clone_copy.h"
#include "files/contents_replacement_posix.h"
#include "files/deletion_guard.h"
#include "files/file_contents.h"
#include "files/file_copy_queue.h"
#include "files/file_lock_posix.h"
#include "files/item_status_posix.h"
#include "files/opened_folder_posix.h"
#include "files/path_text.h"
#include "support/environment.h"
#include "support/interruption.h"
#include "support/worker_pool.h"
#include "support/write_all.h"

namespace korvaster::files {

namespace {

constexpr mode_t kPermissionBits = 07777;

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

struct PosixFileManager::TreeCopy {
  FileCopyQueue files;
  CopyRecord* record;
  // Each folder of the copy with the bits to give it once every file in it is there,
  // children before parents.
  std::vector<std::pair<std::string, mode_t>> folderModes;
};

std::shared_ptr<FileManager> PosixFileManager::withCopyFilter(CopyFilter filter) const {
  return sharingGuard(std::make_shared<PosixFileManager>(std::move(filter), environment_));
}

namespace {
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

std::optional<std::vector<std::string>> PosixFileManager::contentsOfDirectory(const std::string& path) const {
  std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(path.c_str()));
  if (!directory) return std::nullopt;
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = ::readdir(directory.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (errno != 0) return std::nullopt;
  return names;
}

bool PosixFileManager::createDirectory(const std::string& path, Failure* failure) const {
  return ::mkdir(path.c_str(), 0777) == 0 || fail(failure, path, errno);
}

bool PosixFileManager::copyItem(const std::string& source, const std::string& destination, CopyRecord* record,
                                Failure* failure) const {
  const std::string target = withoutTrailingSlashes(destination);
  struct stat existing {};
  if (::lstat(target.c_str(), &existing) == 0) return fail(failure, target, EEXIST);
  if (errno != ENOENT) return fail(failure, target, errno);
  if (copyFilter_ && !copyFilter_(source)) return true;
  const std::size_t deferredBefore = record ? record->deferredModes.size() : 0;
  const std::size_t listedBefore = record ? record->listedFiles.size() : 0;
  TreeCopy copy{FileCopyQueue(support::workerCount(*environment_) - 1), record, {}};
  Failure walkFailure;
  bool copied = copyEntry(source, target, "", copy, &walkFailure);
  // A file that failed in the queue was met before whatever stopped the walk.
  if (auto fileFailure = copy.files.finish()) {
    copied = false;
    walkFailure = std::move(*fileFailure);
  }
  // A folder gets its own bits only once every file in it is there: they may forbid writing.
  for (auto folder = copy.folderModes.begin(); copied && folder != copy.folderModes.end(); ++folder) {
    if (::chmod(folder->first.c_str(), folder->second) != 0)
      copied = fail(&walkFailure, folder->first, errno);
  }
  if (copied) {
    // Children were listed before their parents were finished; the caller wants them first.
    if (record) {
      std::reverse(record->deferredModes.begin() + static_cast<long>(deferredBefore),
                   record->deferredModes.end());
    }
    return true;
  }
  if (failure != nullptr && failure->reason.empty()) *failure = std::move(walkFailure);
  if (record) {
    record->deferredModes.resize(deferredBefore);
    record->listedFiles.resize(listedBefore);
  }
  removeItem(target, nullptr);
  return false;
}

bool PosixFileManager::applyFolderModes(const std::string& root, const FolderModes& modes) const {
  bool applied = true;
  for (const auto& folder : modes) {
    const std::string path = folder.relativePath.empty() ? root : joinedPath(root, folder.relativePath);
    if (::chmod(path.c_str(), static_cast<mode_t>(folder.mode)) != 0) applied = false;
  }
  return applied;
}

bool PosixFileManager::copyEntry(const std::string& source, const std::string& destination,
                                 const std::string& relative, TreeCopy& copy, Failure* failure) const {
  if (support::pendingInterruption() != 0) return fail(failure, source, EINTR);
  // A folder named with a trailing "/" is entered even when it is a link; inner links are
  // copied as links.
  struct stat status {};
  const bool followLink = !source.empty() && source.back() == '/';
  if ((followLink ? ::stat(source.c_str(), &status) : ::lstat(source.c_str(), &status)) != 0) {
    return fail(failure, source, errno);
  }

  if (S_ISLNK(status.st_mode)) {
    if (copy.record) {
      copy.record->madeLinks = true;
      if (copy.record->listFile && copy.record->listFile(relative))
        copy.record->listedLinks.push_back(relative);
    }
    std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 256) + 1, '\0');
    const ssize_t length = ::readlink(source.c_str(), target.data(), target.size());
    if (length < 0) return fail(failure, source, errno);
    if (static_cast<std::size_t>(length) >= target.size()) return fail(failure, source, ENAMETOOLONG);
    target.resize(static_cast<std::size_t>(length));
    return ::symlink(target.c_str(), destination.c_str()) == 0 || fail(failure, destination, errno);
  }
  if (S_ISREG(status.st_mode)) {
    if (copy.record && copy.record->listFile && copy.record->listFile(relative)) {
      copy.record->listedFiles.push_back(relative);
    }
    // false: an earlier file failed, whose failure wins, or a signal came
    return copy.files.add(source, destination, static_cast<mode_t>(status.st_mode & kPermissionBits)) ||
           fail(failure, source, EINTR);
  }
  if (!S_ISDIR(status.st_mode)) return true;  // sockets, pipes and devices have no place in a copy

  // Owner access while filling the folder; its own bits are set once it is complete.
  if (::mkdir(destination.c_str(), S_IRWXU) != 0) return fail(failure, destination, errno);
  const auto names = contentsOfDirectory(source);
  if (!names) return fail(failure, source, errno);
  const auto mode = static_cast<mode_t>(status.st_mode & kPermissionBits);
  const bool deferred = copy.record && (mode & S_IRWXU) != S_IRWXU;
  if (deferred) copy.record->deferredModes.push_back({relative, mode});
  for (const auto& name : *names) {
    const std::string child = joinedPath(source, name);
    if (copyFilter_ && !copyFilter_(child)) continue;
    if (!copyEntry(child, joinedPath(destination, name), relative.empty() ? name : relative + "/" + name,
                   copy, failure)) {
      return false;
    }
  }
  // A deferred folder keeps owner access until its owner is done with it.
  copy.folderModes.emplace_back(destination, deferred ? (mode | S_IRWXU) : mode);
  return true;
}

bool PosixFileManager::moveItem(const std::string& source, const std::string& destination,
                                Failure* failure) const {
  return ::rename(withoutTrailingSlashes(source).c_str(), withoutTrailingSlashes(destination).c_str()) == 0 ||
         fail(failure, source, errno);
}

std::string PosixFileManager::readContents(const std::string& path, std::size_t maximumSize) const {
  return files::readContents(path, maximumSize);
}

void PosixFileManager::writeAtomically(const std::string& path, std::string_view contents,
                                       bool mayCreate) const {
  files::writeAtomically(path, contents, mayCreate);
}

std::unique_ptr<ContentsReplacement> PosixFileManager::replaceContents(const std::string& path,
                                                                       ContentsReplacement::Mode mode,
                                                                       std::string_view original) const {
  return std::make_unique<PosixContentsReplacement>(path, mode, original);
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
  return files::isSameOrWithin(path, outer);
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
