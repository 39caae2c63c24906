// FileManager: the file-system operations every handle performs, over POSIX. Each handle
// keeps the manager it was made with; a manager may carry a filter that copies consult.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/contents_replacement.h"
#include "files/file_lock.h"
#include "files/item_identity.h"

namespace korvaster::files {

// Why an operation failed: the path it failed on and the system's reason.
struct Failure {
  std::string path;
  std::string reason;
};

class FileManager {
 public:
  // Asked about every item of a copy, with its full source path, before it is copied;
  // false skips the item, and a skipped folder with everything beneath it.
  using CopyFilter = std::function<bool(const std::string& sourcePath)>;

  using Identity = ItemIdentity;

  // A folder of a copy whose own permission bits wait to be set, by its path relative to
  // the copy ("" for the copy itself).
  struct FolderMode {
    std::string relativePath;
    unsigned mode;
  };
  using FolderModes = std::vector<FolderMode>;

  // What a copy tells its caller beyond the copy itself, so that the caller need not walk
  // the copy again.
  struct CopyRecord {
    // Folders whose own bits would keep their owner from writing in them: they stay
    // writable and are listed here, children before parents, for applyFolderModes.
    FolderModes deferredModes;
    // Which regular files to list, by path relative to the copy.
    std::function<bool(std::string_view relativePath)> listFile;
    // The regular files the copy made that `listFile` took, by relative path, in no
    // particular order.
    std::vector<std::string> listedFiles;
    // Whether the copy made a link: then a file may be reached under a second name.
    bool madeLinks = false;
    // The links the copy made that `listFile` took, by relative path, in no particular order.
    std::vector<std::string> listedLinks;
  };

  FileManager() = default;
  explicit FileManager(CopyFilter filter) : copyFilter_(std::move(filter)) {}
  virtual ~FileManager() = default;

  // The manager handles use unless they are given another. It has no copy filter.
  static std::shared_ptr<FileManager> defaultManager();
  // A manager of the same kind that consults `filter` on copies. Tests' managers override
  // it so that the copy goes through them too.
  virtual std::shared_ptr<FileManager> withCopyFilter(CopyFilter filter) const;

  // The current directory as an absolute path; empty when it cannot be determined.
  virtual std::string currentDirectoryPath() const;
  // Whether something exists at `path` (links followed), and whether it is a folder.
  virtual bool fileExists(const std::string& path, bool& isDirectory) const;
  // The names of a folder's entries in no particular order, or nothing when it cannot be read.
  virtual std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path) const;
  // Whether `path` is, or leads through a link to, a regular file.
  virtual bool isRegularFile(const std::string& path) const;
  // The size in bytes of the file at `path` (links followed), or nothing when it has none.
  virtual std::optional<std::uintmax_t> fileSize(const std::string& path) const;
  // Whether `path` itself is a symbolic link.
  virtual bool isSymbolicLink(const std::string& path) const;
  // The real folder behind `path` (links followed), or nothing when there is no folder.
  virtual std::optional<Identity> folderIdentity(const std::string& path) const;
  // Creates exactly one folder; false (with `failure` filled) when it exists or its parent
  // is missing.
  virtual bool createDirectory(const std::string& path, Failure* failure = nullptr) const;
  // Copies a file, link or whole folder tree to `destination`, which must not exist yet.
  // Contents and permission bits are kept, links are copied as links; sockets, pipes and
  // devices are left out. With a `record`, folders whose bits would keep their owner
  // from writing in them stay writable, and the record says what the copy made (see
  // CopyRecord). On failure, also when an interrupting signal came, the partial copy
  // is removed, `failure` says where and why, and false is returned.
  virtual bool copyItem(const std::string& source, const std::string& destination,
                        CopyRecord* record = nullptr, Failure* failure = nullptr) const;
  // Sets the listed folders' permission bits below `root`; false when any could not be set.
  virtual bool applyFolderModes(const std::string& root, const FolderModes& modes) const;
  // Removes a file, a link (not what it points to) or a folder with its contents; folders
  // that are read-only to their owner are opened up first. Refuses (false) whatever
  // DeletionGuard refuses.
  virtual bool removeItem(const std::string& path, Failure* failure = nullptr) const;
  // Moves the item at `source` to `destination` in one step (same file system).
  virtual bool moveItem(const std::string& source, const std::string& destination,
                        Failure* failure = nullptr) const;
  // The bytes of the regular file at `path`; throws FileIOError(readFailed).
  virtual std::string readContents(const std::string& path) const;
  // Replaces the file's contents atomically, keeping its permission bits; throws
  // FileIOError(writeFailed) and leaves the old file whole.
  virtual void writeAtomically(const std::string& path, std::string_view contents) const;
  // A replacement of the file's contents, to be written in blocks (see ContentsReplacement);
  // may throw FileIOError(writeFailed).
  virtual std::unique_ptr<ContentsReplacement> replaceContents(const std::string& path, ContentsReplacement::Mode mode,
                                                               std::string_view original) const;
  // The absolute path with every link, "." and ".." resolved, or nothing when `path` does not exist.
  virtual std::optional<std::string> realPath(const std::string& path) const;
  // The exclusive lock on the folder or lock file at `path`, held while the returned object
  // lives. With `wait`, waits for it (calling `onWait` once first when another process holds
  // it); without, returns nothing when it is held. Throws FileIOError(lockFailed) when the
  // target cannot be opened, support::Interrupted when a signal ends the wait.
  virtual std::optional<FileLock> lockItem(const std::string& path, FileLock::Target target, bool wait,
                                           const std::function<void()>& onWait = nullptr) const;
  // The value of HOME, or nothing when it is unset or empty.
  virtual std::optional<std::string> homeDirectoryPath() const;

 private:
  struct TreeCopy;
  bool copyEntry(const std::string& source, const std::string& destination, const std::string& relative,
                 TreeCopy& copy, Failure* failure) const;

  CopyFilter copyFilter_;
};

}  // namespace korvaster::files
