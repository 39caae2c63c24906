#include "files/deletion_guard.h"

#include "files/file_manager.h"
#include "files/path_text.h"

namespace korvaster::files {

namespace {

// The real path of the item itself: its folder resolved, its own name kept, so that a link
// stands for the link.
std::optional<std::string> identityPath(const std::string& path, const FileManager& disk) {
  const auto [folder, name] = folderAndName(path);
  const auto realFolder = disk.realPath(folder);
  if (!realFolder) return std::nullopt;
  return joinedPath(*realFolder, name);
}

}  // namespace

void DeletionGuard::protect(const std::string& path, const FileManager& disk) {
  const auto real = disk.realPath(path);
  if (!real) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  protected_.push_back(*real);
}

std::optional<std::string> DeletionGuard::refusal(const std::string& path, const FileManager& disk) const {
  const std::string target = withoutTrailingSlashes(path);
  const std::string last = target.substr(target.rfind('/') + 1);
  if (target.empty() || last == "." || last == "..") return "its path ends in \".\" or \"..\": " + path;
  if (target == "/") return "it is the root folder";
  const auto identity = identityPath(target, disk);
  if (!identity) return std::nullopt;  // nothing there to remove

  // Judged by device and inode, so that another spelling of a kept folder (a bind mount, a
  // second mount of its file system) is still that folder.
  const auto targetIdentity = disk.identityOf(target, true);
  if (!targetIdentity) return std::nullopt;
  std::vector<std::pair<std::string, std::string>> kept;
  if (const auto home = disk.homeDirectoryPath()) {
    if (auto real = disk.realPath(*home)) kept.emplace_back(*real, "the home folder");
  }
  if (const std::string current = disk.currentDirectoryPath(); !current.empty()) {
    kept.emplace_back(current, "the current directory");
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& folder : protected_) kept.emplace_back(folder, "a protected folder");
  }
  for (const auto& [folder, what] : kept) {
    if (*identity == folder || disk.identityOf(folder) == targetIdentity) return *identity + " is " + what;
    if (isWithin(folder, *identity) || disk.isSameOrWithin(folder, *targetIdentity)) {
      return *identity + " holds " + what + " (" + folder + ")";
    }
  }
  return std::nullopt;
}

}  // namespace korvaster::files
