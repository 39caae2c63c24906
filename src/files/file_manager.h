// FileManager: the file-system operations every handle and every workflow performs, as an
// interface. PosixFileManager is the real disk; tests wrap it to fail chosen calls. Each
// handle keeps the manager it was made with; a manager may carry a filter that copies consult.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/contents_replacement.h"
#include "files/deletion_guard.h"
#include "files/file_lock.h"
#include "files/item_identity.h"
#include "files/item_status.h"
#include "files/opened_folder.h"

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

  virtual ~FileManager() = default;

  // The real disk's manager, which handles use unless they are given another. It has no copy
  // filter.
  static std::shared_ptr<FileManager> defaultManager();
  // A manager of the same kind, over the same files, that consults `filter` on copies.
  virtual std::shared_ptr<FileManager> withCopyFilter(CopyFilter filter) const = 0;

  // The current directory as an absolute path; empty when it cannot be determined.
  virtual std::string currentDirectoryPath() const = 0;
  // The home folder's path, or nothing when there is none.
  virtual std::optional<std::string> homeDirectoryPath() const = 0;

  // What is at `path` (through links with `followLinks`), or nothing with errno set.
  virtual std::optional<ItemStatus> status(const std::string& path, bool followLinks) const = 0;
  // The absolute path with every link, "." and ".." resolved, or nothing when `path` does not exist.
  virtual std::optional<std::string> realPath(const std::string& path) const = 0;
  // Whether the folder at `path`, or any folder that holds it up to the root, has the identity
  // `outer`; false also when `path` cannot be opened. Follows "..", whatever the spelling.
  virtual bool isSameOrWithin(const std::string& path, const Identity& outer) const = 0;
  // Whether this process may make and remove entries in the folder at `path`; false with
  // `failure` filled when not.
  virtual bool canWriteIn(const std::string& path, Failure* failure = nullptr) const = 0;
  // Whether this process, by its effective ids, may write the existing item at `path` and
  // replace it with a new file of the same owner and group; false with `failure` filled when
  // not (also when it does not exist).
  virtual bool canWrite(const std::string& path, Failure* failure = nullptr) const = 0;

  // Creates a new folder, only its owner's, named `prefix` and six random characters; its path,
  // or nothing with `failure` filled.
  virtual std::optional<std::string> createUniqueFolder(const std::string& prefix, Failure* failure = nullptr) const = 0;
  // Creates a regular file with the bits 0644 holding `contents`; false (with `failure`
  // filled) when anything, a link included, is already at `path`.
  virtual bool createFile(const std::string& path, std::string_view contents, Failure* failure = nullptr) const = 0;
  // The bytes of the regular file at `path`, or only its first `maximumSize` bytes when it has
  // more; throws FileIOError(readFailed), also for a pipe, a device or a socket.
  virtual std::string readContents(const std::string& path,
                                   std::size_t maximumSize = std::numeric_limits<std::size_t>::max()) const = 0;
  // Replaces the file's contents atomically, keeping its permission bits; throws
  // FileIOError(writeFailed) and leaves the old file whole. A missing file is a failure too,
  // unless `mayCreate`: the new file then gets the bits 0644.
  virtual void writeAtomically(const std::string& path, std::string_view contents, bool mayCreate = false) const = 0;
  // Appends `contents` to the regular file at `path`, made with the bits 0644 when missing;
  // what the file held stays. Throws FileIOError(writeFailed), also for anything but a regular
  // file there, a symbolic link included (never followed).
  virtual void appendToFile(const std::string& path, std::string_view contents) const = 0;
  // Replaces the link at `path` with a regular file holding the contents of the file at `from`,
  // with that file's permission bits. Throws FileIOError, leaving the link as it was.
  virtual void replaceLinkWithCopy(const std::string& path, const std::string& from) const = 0;
  // The folder at `path` held open (links in `path` are followed), through which the
  // commands that change a project's files reach them, and through whose primitives the
  // operations below are written. Throws FileIOError(readFailed).
  virtual std::shared_ptr<OpenedFolder> openFolder(const std::string& path) const = 0;

  // The exclusive lock on the folder or lock file at `path`, held while the returned object
  // lives. With `wait`, waits for it (calling `onWait` once first when another holder has
  // it); without, returns nothing when it is held. Throws FileIOError(lockFailed) when the
  // target cannot be opened, support::Interrupted when a signal ends the wait.
  virtual std::optional<FileLock> lockItem(const std::string& path, FileLock::Target target, bool wait,
                                           const std::function<void()>& onWait = nullptr) const = 0;

  // The guard every removal through this manager, and through the managers made from it,
  // consults (see DeletionGuard): what is protected through one is protected through all.
  DeletionGuard& deletionGuard() const { return *deletionGuard_; }
  // Protects the folder at `path`, and every folder that holds it, from removal.
  void protectFromRemoval(const std::string& path) const { deletionGuard_->protect(path, *this); }
  // Why `path` must not be removed, or nothing when it may be.
  std::optional<std::string> removalRefusal(const std::string& path) const {
    return deletionGuard_->refusal(path, *this);
  }

  // Written once over openFolder and the primitives of the folders it opens.

  // Removes a file, a link (not what it points to) or a folder with its contents, through
  // the folder that holds it (see removeTree); folders that are read-only to their owner are
  // opened up first. Refuses (false) whatever its deletion guard refuses. Virtual only so that
  // a test's wrapper can count and fail whole removals; every file system shares this one.
  virtual bool removeItem(const std::string& path, Failure* failure = nullptr) const;

  // Copies the folder `source` (entered even when it is a link) with its whole tree to
  // `destination`, which must not exist yet, through the folders it opens (see TreeCopy).
  // Contents and permission bits are kept, links are copied as links; sockets, pipes and
  // devices are left out. With a `record`, folders whose bits would keep their owner from
  // writing in them stay writable, and the record says what the copy made (see CopyRecord).
  // On failure, also when an interrupting signal came, the partial copy is removed, `failure`
  // says where and why, and false is returned; so it is for a `source` the copy filter leaves out.
  bool copyItem(const std::string& source, const std::string& destination, CopyRecord* record = nullptr,
                Failure* failure = nullptr) const;
  // The names of a folder's entries in no particular order, or nothing (with errno set) when
  // it cannot be read.
  std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path) const;
  // Creates exactly one folder; false (with `failure` filled) when it exists or its parent
  // is missing.
  bool createDirectory(const std::string& path, Failure* failure = nullptr) const;
  // Moves the item at `source` to `destination` in one step (same file system); a folder
  // may take the place of an empty one.
  bool moveItem(const std::string& source, const std::string& destination, Failure* failure = nullptr) const;
  // Sets the listed folders' permission bits below `root`, in the order given (children
  // before parents: a parent's bits may forbid reaching its children); false when any could
  // not be set.
  bool applyFolderModes(const std::string& root, const FolderModes& modes) const;

  // Whether something exists at `path` (links followed), and whether it is a folder.
  bool fileExists(const std::string& path, bool& isDirectory) const;
  // Whether `path` is, or leads through a link to, a regular file.
  bool isRegularFile(const std::string& path) const;
  // The size in bytes of the file at `path` (links followed), or nothing when it has none.
  std::optional<std::uintmax_t> fileSize(const std::string& path) const;
  // Whether `path` itself is a symbolic link.
  bool isSymbolicLink(const std::string& path) const;
  // The real folder behind `path` (links followed), or nothing when there is no folder.
  std::optional<Identity> folderIdentity(const std::string& path) const;
  // The identity of what `path` leads to (with `ofLink`, of a link itself), or nothing.
  std::optional<Identity> identityOf(const std::string& path, bool ofLink = false) const;
  // What is at `path` when it is neither nothing nor a regular file: "a symbolic link",
  // "a folder", "a named pipe", "a device", "a socket" or "a special file". Nothing when a
  // regular file or nothing at all is there, or when `path` cannot be looked at.
  std::optional<std::string> nonRegularKind(const std::string& path) const;
  // Why `path` cannot be looked at although it may be there (a path longer than the system
  // takes, no permission on a folder above it); nothing when it can, or when nothing is there.
  std::optional<std::string> lookFailure(const std::string& path) const;

 protected:
  // For withCopyFilter: the manager made shares this one's guard.
  std::shared_ptr<FileManager> sharingGuard(std::shared_ptr<FileManager> made) const {
    made->deletionGuard_ = deletionGuard_;
    return made;
  }
  // For a wrapper: copies consult the filter of `inner` and use as many helper threads.
  void copyingAs(const FileManager& inner) {
    copyFilter_ = inner.copyFilter_;
    copyHelpers_ = inner.copyHelpers_;
  }

  // Asked about every item a copy meets (see CopyFilter); none: everything is copied.
  CopyFilter copyFilter_;
  // The threads that copy files beside the one that walks the tree.
  std::size_t copyHelpers_ = 0;

 private:
  std::shared_ptr<DeletionGuard> deletionGuard_ = std::make_shared<DeletionGuard>();
};

}  // namespace korvaster::files
