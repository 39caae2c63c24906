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
  // Whether `path` is, or leads through a link to, a regular file.
  bool isRegularFile(const std::string& path) const;
  // Whether `path` itself is a symbolic link.
  bool isSymbolicLink(const std::string& path) const;
  // The real folder behind `path` (links followed), or nothing when there is no folder.
  std::optional<Identity> folderIdentity(const std::string& path) const;
  // Creates exactly one folder; false when it exists or its parent is missing.
  bool createDirectory(const std::string& path) const;
  // A folder of a copy whose own permission bits wait to be set, by its path relative to
  // the copy ("" for the copy itself).
  struct FolderMode {
    std::string relativePath;
    unsigned mode;
  };
  using FolderModes = std::vector<FolderMode>;

  // Copies a file, link or whole folder tree to `destination`, which must not exist yet.
  // Contents and permission bits are kept, links are copied as links; sockets, pipes and
  // devices are left out. With `deferredModes`, folders whose bits would keep their owner
  // from writing in them stay writable and are listed there, children before parents, for
  // applyFolderModes. On failure, also when an interrupting signal came, the partial copy
  // is removed and false returned.
  bool copyItem(const std::string& source, const std::string& destination,
                FolderModes* deferredModes = nullptr) const;
  // Sets the listed folders' permission bits below `root`; false when any could not be set.
  static bool applyFolderModes(const std::string& root, const FolderModes& modes);
  // Removes a file, a link (not what it points to) or a folder with its contents; folders
  // that are read-only to their owner are opened up first. Refuses (false) whatever
  // DeletionGuard refuses.
  bool removeItem(const std::string& path) const;
  // The absolute path with every link, "." and ".." resolved, or nothing when `path` does not exist.
  std::optional<std::string> realPath(const std::string& path) const;
  // The value of HOME, or nothing when it is unset or empty.
  std::optional<std::string> homeDirectoryPath() const;

 private:
  bool copyEntry(const std::string& source, const std::string& destination, const std::string& relative,
                 FolderModes* deferredModes) const;

  CopyFilter copyFilter_;
};

}  // namespace korvaster::files
