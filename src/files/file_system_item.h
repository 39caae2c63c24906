// FileSystemItem: the common base of Folder and File, a handle on an existing item by its
// absolute path. Handles are values; they are not refreshed when the disk changes.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "files/file_manager.h"
#include "files/file_system_errors.h"

namespace korvaster::files {

class FileSystemItem {
 public:
  enum class Kind { file, folder };

  virtual ~FileSystemItem() = default;

  // Absolute; a folder's path always ends with "/".
  const std::string& path() const { return path_; }
  // The last component (for a folder, the one before the final "/").
  const std::string& name() const { return name_; }
  const std::shared_ptr<FileManager>& fileManager() const { return fileManager_; }

  // The text after the last "." of the name, or nothing when the name has no ".".
  std::optional<std::string> extension() const;
  // "File(name: N, path: P)" or "Folder(name: N, path: P)".
  std::string description() const;

  // Removes the item (a folder with all its contents); throws OperationError(deleteFailed).
  void deleteItem() const;

  bool operator==(const FileSystemItem& other) const { return kind_ == other.kind_ && path_ == other.path_; }
  bool operator!=(const FileSystemItem& other) const { return !(*this == other); }

 protected:
  // A copy of this handle of the same kind, for errors that carry the item.
  virtual std::shared_ptr<const FileSystemItem> copyHandle() const = 0;

  // Resolves `path` to an absolute path and checks that an item of `kind` is there; throws
  // PathError otherwise.
  FileSystemItem(std::string path, Kind kind, std::shared_ptr<FileManager> fileManager);

 private:
  std::string path_;
  std::string name_;
  Kind kind_;
  std::shared_ptr<FileManager> fileManager_;
};

}  // namespace korvaster::files
