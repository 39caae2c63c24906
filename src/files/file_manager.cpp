#include "files/file_manager.h"

#include <cerrno>
#include <cstring>

#include "files/file_io_error.h"
#include "files/file_manager_posix.h"
#include "files/path_text.h"
#include "files/tree_copy.h"
#include "files/tree_removal.h"

namespace korvaster::files {

namespace {
bool fail(Failure* failure, Failure reason) {
  if (failure != nullptr && failure->reason.empty()) *failure = std::move(reason);
  return false;
}
}  // namespace

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

bool FileManager::copyItem(const std::string& source, const std::string& destination, CopyRecord* record,
                           Failure* failure) const {
  const std::string target = withoutTrailingSlashes(destination);
  const auto [folder, name] = folderAndName(target);
  std::shared_ptr<const OpenedFolder> into;
  std::shared_ptr<const OpenedFolder> from;
  try {
    into = openFolder(folder);
  } catch (const FileIOError& error) {
    return fail(failure, {target, error.reason()});
  }
  ItemStatus existing;
  if (const int error = into->statusOf(name, existing); error != ENOENT)
    return fail(failure, {target, std::strerror(error == 0 ? EEXIST : error)});
  if (copyFilter_ && !copyFilter_(source)) return fail(failure, {source, "the copy filter leaves it out"});
  try {
    from = openFolder(source);
  } catch (const FileIOError& error) {
    return fail(failure, {source, error.reason()});
  }
  const std::size_t deferredBefore = record ? record->deferredModes.size() : 0;
  const std::size_t listedBefore = record ? record->listedFiles.size() : 0;
  TreeCopy copy(copyFilter_, record, copyHelpers_);
  Failure walkFailure;
  if (copy.copy(from, into, name, walkFailure)) return true;
  if (record) {
    record->deferredModes.resize(deferredBefore);
    record->listedFiles.resize(listedBefore);
  }
  // Removed through the folder it was made in, never by its path, which may lead elsewhere by now.
  if (copy.madeRoot()) static_cast<void>(removeTree(*into, name));
  return fail(failure, std::move(walkFailure));
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectory(const std::string& path) const {
  std::vector<std::string> names;
  try {
    errno = openFolder(path)->list(names);
  } catch (const FileIOError& error) {
    errno = error.systemError();
    return std::nullopt;
  }
  if (errno != 0) return std::nullopt;
  return names;
}

bool FileManager::createDirectory(const std::string& path, Failure* failure) const {
  const auto [folder, name] = folderAndName(withoutTrailingSlashes(path));
  try {
    const int error = openFolder(folder)->makeFolder(name, 0777);
    return error == 0 || fail(failure, {path, std::strerror(error)});
  } catch (const FileIOError& error) {
    return fail(failure, {path, error.reason()});
  }
}

bool FileManager::moveItem(const std::string& source, const std::string& destination, Failure* failure) const {
  const auto [fromFolder, fromName] = folderAndName(withoutTrailingSlashes(source));
  const auto [toFolder, toName] = folderAndName(withoutTrailingSlashes(destination));
  try {
    const int error = openFolder(fromFolder)->moveEntry(fromName, *openFolder(toFolder), toName);
    return error == 0 || fail(failure, {source, std::strerror(error)});
  } catch (const FileIOError& error) {
    return fail(failure, {source, error.reason()});
  }
}

bool FileManager::applyFolderModes(const std::string& root, const FolderModes& modes) const {
  bool applied = true;
  for (const auto& folder : modes) {
    // Each folder is set through the one that holds it, reached from the root through real
    // folders only: its own bits may forbid opening it.
    try {
      const auto [above, rootName] = folderAndName(withoutTrailingSlashes(root));
      std::shared_ptr<const OpenedFolder> parent = openFolder(above);
      std::string_view name = rootName;
      std::string_view rest = folder.relativePath;
      for (std::size_t slash = 0; !rest.empty(); rest = slash == rest.npos ? "" : rest.substr(slash + 1)) {
        parent = parent->openFolder(name);
        slash = rest.find('/');
        name = rest.substr(0, slash);
      }
      applied = parent->setMode(name, folder.mode) == 0 && applied;
    } catch (const FileIOError&) {
      applied = false;
    }
  }
  return applied;
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

std::optional<std::string> FileManager::lookFailure(const std::string& path) const {
  if (status(path, false) || errno == ENOENT) return std::nullopt;
  return std::string(std::strerror(errno));
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
