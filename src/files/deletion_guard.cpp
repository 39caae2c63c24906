#include "files/deletion_guard.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "files/item_identity.h"
#include "files/path_text.h"
#include "support/environment.h"

namespace korvaster::files {

namespace {

std::mutex guardMutex;
std::vector<std::string>& protectedFolders() {
  static std::vector<std::string> folders;
  return folders;
}

std::optional<std::string> resolved(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  if (!real) return std::nullopt;
  return std::string(real.get());
}

// The real path of the item itself: its folder resolved, its own name kept, so that a link
// stands for the link.
std::optional<std::string> identityPath(const std::string& path) {
  const auto [folder, name] = folderAndName(path);
  const auto realFolder = resolved(folder);
  if (!realFolder) return std::nullopt;
  return joinedPath(*realFolder, name);
}

}  // namespace

void DeletionGuard::protect(const std::string& path) {
  const auto real = resolved(path);
  if (!real) return;
  const std::lock_guard<std::mutex> lock(guardMutex);
  protectedFolders().push_back(*real);
}

std::optional<std::string> DeletionGuard::refusal(const std::string& path) {
  const std::string target = withoutTrailingSlashes(path);
  const std::string last = target.substr(target.rfind('/') + 1);
  if (target.empty() || last == "." || last == "..") return "its path ends in \".\" or \"..\": " + path;
  if (target == "/") return "it is the root folder";
  const auto identity = identityPath(target);
  if (!identity) return std::nullopt;  // nothing there to remove

  // Judged by device and inode, so that another spelling of a kept folder (a bind mount, a
  // second mount of its file system) is still that folder.
  const auto targetIdentity = identityOf(target, true);
  if (!targetIdentity) return std::nullopt;
  std::vector<std::pair<std::string, std::string>> kept;
  // The process's own HOME, whatever a caller was told: this guard defends the real disk.
  if (const auto home = support::processEnvironment().variable("HOME"); home && !home->empty()) {
    if (auto real = resolved(*home)) kept.emplace_back(*real, "the home folder");
  }
  char* current = ::getcwd(nullptr, 0);
  if (current != nullptr) {
    kept.emplace_back(current, "the current directory");
    std::free(current);
  }
  {
    const std::lock_guard<std::mutex> lock(guardMutex);
    for (const auto& folder : protectedFolders()) kept.emplace_back(folder, "a protected folder");
  }
  for (const auto& [folder, what] : kept) {
    if (*identity == folder || identityOf(folder) == targetIdentity) return *identity + " is " + what;
    if (isWithin(folder, *identity) || isSameOrWithin(folder, *targetIdentity)) {
      return *identity + " holds " + what + " (" + folder + ")";
    }
  }
  return std::nullopt;
}

void DeletionGuard::resetForTesting() {
  const std::lock_guard<std::mutex> lock(guardMutex);
  protectedFolders().clear();
}

}  // namespace korvaster::files
