#include "files/staging_folder.h"

#include <optional>

#include "files/deletion_guard.h"
#include "files/file_io_error.h"
#include "files/file_manager.h"

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

bool isKind(const FileManager& system, const std::string& path, ItemStatus::Kind kind) {
  const auto status = system.status(path, false);
  return status && status->kind == kind;
}

// Removes everything in the marked folder but the mark, then the mark, then the folder: a
// removal cut short leaves the folder marked, so that a later run still takes it for an
// abandoned one. Only a folder is emptied, never what a link in its place leads to.
bool removeMarkedFolder(const FileManager& system, const std::string& path, const std::string& mark) {
  const std::string folder = folderPrefix(path);
  if (!isKind(system, path, ItemStatus::Kind::folder)) return false;
  const auto names = system.contentsOfDirectory(folder);
  if (!names) return false;
  bool removed = true;
  for (const auto& name : *names) {
    if (name != mark && !system.removeItem(folder + name) && system.status(folder + name, false)) removed = false;
  }
  return removed && system.removeItem(folder + mark) && system.removeItem(path);
}

// A folder made anew and locked before anything is put in it. Between the two steps another
// run's clean-up may take the new, still unlocked folder for abandoned and remove it: before
// the lock opens it (the lock then fails on a folder no longer there) or after (the lock is
// then held on a removed folder, which the check below sees). Either way another is made.
FileLock makeLockedFolder(const FileManager& system, const std::string& parentPath, const std::string& prefix,
                          std::string& path) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    Failure failure;
    const auto made = system.createUniqueFolder(folderPrefix(parentPath) + prefix, &failure);
    if (!made) throw FileIOError(FileIOError::Case::writeFailed, failure.path, failure.reason);
    std::optional<FileLock> locked;
    try {
      locked = system.lockItem(*made, FileLock::Target::folder, true);
    } catch (const FileIOError&) {
      if (system.status(*made, false)) throw;
      continue;
    }
    FileLock lock = std::move(*locked);
    const auto held = lock.heldIdentity();
    if (held && held == system.identityOf(*made, true)) {
      path = *made + "/";
      return lock;
    }
  }
  throw FileIOError(FileIOError::Case::writeFailed, folderPrefix(parentPath) + prefix,
                    "another run kept removing the new staging folder");
}

}  // namespace

StagingFolder::StagingFolder(std::shared_ptr<const FileManager> system, const std::string& parentPath,
                             const std::string& prefix)
    : system_(std::move(system)), mark_(markName(prefix)), lock_(makeLockedFolder(*system_, parentPath, prefix, path_)) {
  // Only a marked folder is ever taken for an abandoned one, never a user's folder that
  // merely has a similar name.
  Failure failure;
  if (!system_->createFile(path_ + mark_, "", &failure)) {
    static_cast<void>(system_->removeItem(path_));
    throw FileIOError(FileIOError::Case::writeFailed, path_ + mark_, failure.reason);
  }
}

StagingFolder::~StagingFolder() {
  if (!system_->removalRefusal(path_)) static_cast<void>(removeMarkedFolder(*system_, path_, mark_));
}

int StagingFolder::removeAbandoned(const FileManager& system, const std::string& parentPath,
                                   const std::string& prefix) {
  const auto names = system.contentsOfDirectory(parentPath);
  if (!names) return 0;
  int removed = 0;
  for (const auto& name : *names) {
    if (name.size() != prefix.size() + kRandomLength || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string path = folderPrefix(parentPath) + name;
    if (!isKind(system, path, ItemStatus::Kind::folder)) continue;
    std::optional<FileLock> lock;
    try {
      lock = system.lockItem(path, FileLock::Target::folder, false);
    } catch (const FileIOError&) {
      continue;
    }
    if (!lock || system.removalRefusal(path)) continue;
    // A run killed between making its folder and marking it left it empty; a folder with
    // anything else in it and no mark is not one of ours.
    const bool marked = isKind(system, path + "/" + markName(prefix), ItemStatus::Kind::regular);
    const auto entries = marked ? std::nullopt : system.contentsOfDirectory(path);
    if (marked ? removeMarkedFolder(system, path, markName(prefix)) : entries && entries->empty() && system.removeItem(path)) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace korvaster::files
