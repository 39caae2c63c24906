#include "files/file_manager.h"

#include <cstring>

#include "files/file_io_error.h"
#include "files/file_manager_posix.h"
#include "files/path_text.h"
#include "files/tree_removal.h"

namespace korvaster::files {

std::shared_ptr<FileManager> FileManager::defaultManager() {
  static const std::shared_ptr<FileManager> manager = std::make_shared<PosixFileManager>();
  return manager;
}

bool FileManager::removeItem(const std::string& path, Failure* failure) const {
  if (auto refusal = removalRefusal(path)) {
    if (failure != nullptr) *failure = Failure{path, "refused: " + *refusal};
    return false;
  }
  // Without the trailing "/" a link to a folder is removed as a link, never its target's contents.
  const auto [folder, name] = folderAndName(withoutTrailingSlashes(path));
  std::string reason;
  try {
    if (const int error = removeTree(*openFolder(folder), name); error != 0) reason = std::strerror(error);
  } catch (const FileIOError& error) {
    reason = error.reason();
  }
  if (reason.empty()) return true;
  if (failure != nullptr && failure->reason.empty()) *failure = Failure{path, reason};
  return false;
}

bool FileManager::fileExists(const std::string& path, bool& isDirectory) const {
  const auto found = status(path, true);
  if (found) isDirectory = found->kind == ItemStatus::Kind::folder;
  return found.has_value();
}

bool FileManager::isRegularFile(const std::string& path) const {
  const auto found = status(path, true);
  return found && found->kind == ItemStatus::Kind::regular;
}

std::optional<std::uintmax_t> FileManager::fileSize(const std::string& path) const {
  const auto found = status(path, true);
  if (!found) return std::nullopt;
  return found->size;
}

bool FileManager::isSymbolicLink(const std::string& path) const {
  const auto found = status(path, false);
  return found && found->kind == ItemStatus::Kind::link;
}

std::optional<FileManager::Identity> FileManager::folderIdentity(const std::string& path) const {
  const auto found = status(path, true);
  if (!found || found->kind != ItemStatus::Kind::folder) return std::nullopt;
  return found->identity;
}

std::optional<FileManager::Identity> FileManager::identityOf(const std::string& path, bool ofLink) const {
  const auto found = status(path, !ofLink);
  if (!found) return std::nullopt;
  return found->identity;
}

std::optional<std::string> FileManager::nonRegularKind(const std::string& path) const {
  const auto found = status(path, false);
  if (!found) return std::nullopt;
  switch (found->kind) {
    case ItemStatus::Kind::regular:
      return std::nullopt;
    case ItemStatus::Kind::link:
      return "a symbolic link";
    case ItemStatus::Kind::folder:
      return "a folder";
    case ItemStatus::Kind::pipe:
      return "a named pipe";
    case ItemStatus::Kind::device:
      return "a device";
    case ItemStatus::Kind::socket:
      return "a socket";
    case ItemStatus::Kind::other:
      break;
  }
  return "a special file";
}

}  // namespace korvaster::files
