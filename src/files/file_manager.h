// FileManager: the file-system operations every handle performs, over POSIX. Each handle
// keeps the manager it was made with; a manager may carry a filter that copies consult.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvaster::files {

class FileManager {
 public:
  // Asked about every item of a copy, with its full source path, before it is copied;
  // false skips the item, and a skipped folder with everything beneath it.
  using CopyFilter = std::function<bool(const std::string& sourcePath)>;

  struct Identity {
    unsigned long long device;
    unsigned long long inode;
    bool operator<(const Identity& other) const {
      return std::tie(device, inode) < std::tie(other.device, other.inode);
    }
  };

  FileManager() = default;
  explicit FileManager(CopyFilter filter) : copyFilter_(std::move(filter)) {}
  virtual ~FileManager() = default;

  // The manager handles use unless they are given another. It has no copy filter.
  static std::shared_ptr<FileManager> defaultManager();

  // The current directory as an absolute path; empty when it cannot be determined.
  std::string currentDirectoryPath() const;
  // Whether something exists at `path` (links followed), and whether it is a folder.
  bool fileExists(const std::string& path, bool& isDirectory) const;
  // The names of a folder's entries in no particular order, or nothing when it cannot be read.
  std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path) const;
  // The real folder behind `path` (links followed), or nothing when there is no folder.
  std::optional<Identity> folderIdentity(const std::string& path) const;
  // Creates exactly one folder; false when it exists or its parent is missing.
  bool createDirectory(const std::string& path) const;
  // Copies a file, link or whole folder tree to `destination`, which must not exist yet.
  // Contents and permission bits are kept, links are copied as links. On failure the
  // partial copy is removed and false returned.
  bool copyItem(const std::string& source, const std::string& destination) const;
  // Removes a file, a link (not what it points to) or a folder with its contents.
  bool removeItem(const std::string& path) const;
  // The absolute path with every link, "." and ".." resolved, or nothing when `path` does not exist.
  std::optional<std::string> realPath(const std::string& path) const;
  // The value of HOME, or nothing when it is unset or empty.
  std::optional<std::string> homeDirectoryPath() const;

 private:
  bool copyEntry(const std::string& source, const std::string& destination) const;

  CopyFilter copyFilter_;
};

}  // namespace korvaster::files
