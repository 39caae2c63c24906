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

// Makes `path` absolute and lexically clean, so that every spelling of one place gives one
// path and one name: empty and "." components go, and each ".." takes away the component
// before it, which must be an existing folder (so /a/b/../c fails when /a/b does not exist).
// Links stay as they are.
std::string absolutePath(const std::string& path, const FileManager& fileManager) {
  const std::string absolute = startsWith(path, '/') ? path : fileManager.currentDirectoryPath() + "/" + path;
  std::string clean;
  std::size_t at = 0;
  while (at <= absolute.size()) {
    auto slash = absolute.find('/', at);
    if (slash == std::string::npos) slash = absolute.size();
    const std::string component = absolute.substr(at, slash - at);
    at = slash + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      bool isDirectory = false;
      const std::string before = clean.empty() ? "/" : clean;
      if (clean.empty() || !fileManager.fileExists(before, isDirectory) || !isDirectory) {
        throw PathError::invalid(path, "what comes before a \"..\" in it is no folder");
      }
      clean.erase(clean.rfind('/'));
      continue;
    }
    clean += "/" + component;
  }
  return clean.empty() ? "/" : clean;
}
}  // namespace

FileSystemItem::FileSystemItem(std::string path, Kind kind, std::shared_ptr<FileManager> fileManager)
    : kind_(kind), fileManager_(fileManager ? std::move(fileManager) : FileManager::defaultManager()) {
  if (kind == Kind::folder && path.empty()) path = fileManager_->currentDirectoryPath();
  if (path.empty()) throw PathError::empty();
  if (startsWith(path, '~')) path = expandedHome(path, *fileManager_);
  // "a.xib/" and "a.xib/." name a folder, never the file a.xib.
  const std::string last = path.substr(path.rfind('/') + 1);
  const bool namesFolder = last.empty() || last == "." || last == "..";
  path = absolutePath(path, *fileManager_);

  bool isDirectory = false;
  const bool exists = fileManager_->fileExists(path, isDirectory);
  if (!exists) throw PathError::invalid(kind == Kind::folder && path.back() != '/' ? path + '/' : path, "it does not exist");
  if (kind == Kind::folder) {
    if (path.back() != '/') path += '/';
    if (!isDirectory) throw PathError::invalid(path, "it is a file, not a folder");
  } else if (isDirectory || namesFolder) {
    throw PathError::invalid(path, isDirectory ? "it is a folder, not a file" : "it ends in \"/\", which names a folder");
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
  Failure failure;
  if (!fileManager_->removeItem(path_, &failure)) {
    throw OperationError(OperationError::Case::deleteFailed, copyHandle(), std::move(failure));
  }
}

std::optional<std::string> OperationError::ownDescription() const {
  const std::string& path = failure_.path.empty() ? item_->path() : failure_.path;
  const std::string reason = failure_.reason.empty() ? "no reason given" : failure_.reason;
  return std::string(case_ == Case::copyFailed ? "could not copy " : "could not delete ") + path + ": " + reason;
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
