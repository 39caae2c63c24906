#include "files/file_system_item.h"

#include "files/file.h"
#include "files/folder.h"

namespace korvaster::files {

namespace {

bool startsWith(const std::string& text, char c) { return !text.empty() && text.front() == c; }

std::string expandedHome(const std::string& path, const FileManager& fileManager) {
  const auto home = fileManager.homeDirectoryPath();
  if (!home) throw PathError::homeNotFound();
  return *home + path.substr(1);
}

// The folder path without its last component: "/a/b/" gives "/a"; the root has none.
std::optional<std::string> parentPath(const std::string& folderPath) {
  std::string path = folderPath;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path == "/") return std::nullopt;
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return std::nullopt;
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Replaces each "../" and what stands before it by the resolved parent folder; a relative
// path without one is put under the current directory. "./", doubled "/" and links stay.
std::string absolutePath(std::string path, bool isRelative, const FileManager& fileManager) {
  bool replaced = false;
  for (auto at = path.find("../"); at != std::string::npos; at = path.find("../")) {
    try {
      const Folder before(path.substr(0, at));
      const auto parent = parentPath(before.path());
      if (!parent) throw PathError::invalid(path);
      const Folder parentFolder(*parent);
      path = parentFolder.path() + path.substr(at + 3);
      replaced = true;
    } catch (const PathError& error) {
      if (error.errorCase() == PathError::Case::homeNotFound) throw;
      throw PathError::invalid(path);
    }
  }
  if (!replaced && isRelative) path = fileManager.currentDirectoryPath() + "/" + path;
  return path;
}

}  // namespace

FileSystemItem::FileSystemItem(std::string path, Kind kind, std::shared_ptr<FileManager> fileManager)
    : kind_(kind), fileManager_(fileManager ? std::move(fileManager) : FileManager::defaultManager()) {
  if (kind == Kind::folder) {
    if (path.empty()) path = fileManager_->currentDirectoryPath();
    if (path.empty() || path.back() != '/') path += '/';
  }
  if (path.empty()) throw PathError::empty();

  bool isRelative = false;
  if (startsWith(path, '~')) {
    path = expandedHome(path, *fileManager_);
  } else if (!startsWith(path, '/')) {
    isRelative = true;
  }
  path = absolutePath(std::move(path), isRelative, *fileManager_);

  bool isDirectory = false;
  if (!fileManager_->fileExists(path, isDirectory) || isDirectory != (kind == Kind::folder)) {
    throw PathError::invalid(path);
  }

  path_ = std::move(path);
  std::string trimmed = path_;
  if (kind == Kind::folder && trimmed.size() > 1) trimmed.pop_back();
  const auto slash = trimmed.rfind('/');
  name_ = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
  if (name_ == "/") name_.clear();
}

std::optional<std::string> FileSystemItem::extension() const {
  const auto dot = name_.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  return name_.substr(dot + 1);
}

std::string FileSystemItem::description() const {
  return std::string(kind_ == Kind::file ? "File" : "Folder") + "(name: " + name_ + ", path: " + path_ + ")";
}

}  // namespace korvaster::files

namespace korvaster::files {

void FileSystemItem::deleteItem() const {
  if (!fileManager_->removeItem(path_)) {
    throw OperationError(OperationError::Case::deleteFailed, copyHandle());
  }
}

std::string PathError::description() const {
  switch (case_) {
    case Case::empty:
      return "Empty path given";
    case Case::invalid:
      return "Invalid path given: " + path_;
    case Case::homeNotFound:
      break;
  }
  return "Home folder not found: HOME is unset or does not name a folder";
}

}  // namespace korvaster::files
