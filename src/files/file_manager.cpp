#include "files/file_manager.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "files/clone_copy.h"

namespace korvaster::files {

namespace {

constexpr mode_t kPermissionBits = 07777;

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

std::string joined(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::shared_ptr<FileManager> FileManager::defaultManager() {
  static const auto manager = std::make_shared<FileManager>();
  return manager;
}

std::string FileManager::currentDirectoryPath() const {
  std::error_code error;
  const auto path = std::filesystem::current_path(error);
  return error ? std::string() : path.string();
}

bool FileManager::fileExists(const std::string& path, bool& isDirectory) const {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;
  isDirectory = S_ISDIR(status.st_mode);
  return true;
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectory(const std::string& path) const {
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

std::optional<FileManager::Identity> FileManager::folderIdentity(const std::string& path) const {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
  return Identity{static_cast<unsigned long long>(status.st_dev),
                  static_cast<unsigned long long>(status.st_ino)};
}

bool FileManager::createDirectory(const std::string& path) const { return ::mkdir(path.c_str(), 0777) == 0; }

bool FileManager::copyItem(const std::string& source, const std::string& destination) const {
  const std::string target = withoutTrailingSlashes(destination);
  struct stat existing {};
  if (::lstat(target.c_str(), &existing) == 0 || errno != ENOENT) return false;
  if (copyFilter_ && !copyFilter_(source)) return true;
  if (copyEntry(source, target)) return true;
  removeItem(target);
  return false;
}

bool FileManager::copyEntry(const std::string& source, const std::string& destination) const {
  // A folder named with a trailing "/" is entered even when it is a link; inner links are
  // copied as links.
  struct stat status {};
  const bool followLink = !source.empty() && source.back() == '/';
  if ((followLink ? ::stat(source.c_str(), &status) : ::lstat(source.c_str(), &status)) != 0) return false;

  if (S_ISLNK(status.st_mode)) {
    std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 256) + 1, '\0');
    const ssize_t length = ::readlink(source.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size()) return false;
    target.resize(static_cast<std::size_t>(length));
    return ::symlink(target.c_str(), destination.c_str()) == 0;
  }
  if (S_ISREG(status.st_mode))
    return copyFileContents(source, destination, static_cast<mode_t>(status.st_mode & kPermissionBits));
  if (!S_ISDIR(status.st_mode)) return true;  // sockets, pipes and devices have no place in a copy

  // Owner access while filling the folder; its own bits are set once it is complete.
  if (::mkdir(destination.c_str(), S_IRWXU) != 0) return false;
  const auto names = contentsOfDirectory(source);
  if (!names) return false;
  for (const auto& name : *names) {
    const std::string child = joined(source, name);
    if (copyFilter_ && !copyFilter_(child)) continue;
    if (!copyEntry(child, joined(destination, name))) return false;
  }
  return ::chmod(destination.c_str(), static_cast<mode_t>(status.st_mode & kPermissionBits)) == 0;
}

bool FileManager::removeItem(const std::string& path) const {
  // Without the trailing "/" a link to a folder is removed as a link, never its target's contents.
  const std::filesystem::path target = withoutTrailingSlashes(path);
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(target, error))) return false;
  std::filesystem::remove_all(target, error);
  return !error;
}

std::optional<std::string> FileManager::realPath(const std::string& path) const {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

std::optional<std::string> FileManager::homeDirectoryPath() const {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  return std::string(home);
}

}  // namespace korvaster::files
