// Folder: a handle on an existing folder, with enumeration, creation of subfolders, copying
// of the whole tree and deletion.
#pragma once

#include <memory>
#include <string>

#include "files/file_system_item.h"

namespace korvaster::files {

class File;
template <typename Item>
class FileSystemSequence;

class Folder final : public FileSystemItem {
 public:
  // Opens the folder at `path`: "" is the current directory, "~" the home folder, relative
  // paths and "../" are resolved. Throws PathError when no folder is there.
  explicit Folder(std::string path = "", std::shared_ptr<FileManager> fileManager = nullptr);

  // The immediate subfolders that are not hidden, in name order.
  FileSystemSequence<Folder> subfolders() const;
  // The files of this folder, or of the whole tree, optionally with hidden items.
  // With `staysInside`, a recursive sequence never enters a link to a folder outside this one.
  FileSystemSequence<File> makeFileSequence(bool recursive = false, bool includeHidden = false,
                                            bool staysInside = false) const;

  // Creates one folder level; throws FolderError when it exists or cannot be made.
  Folder createSubfolder(const std::string& name) const;
  // Opens the subfolder, creating it first if needed; throws FolderError.
  Folder createSubfolderIfNeeded(const std::string& name) const;
  // Copies this folder's tree into `destination` under this folder's name, through this
  // folder's file manager (and its copy filter). Throws OperationError(copyFailed), also
  // when something of that name is already there.
  Folder copy(const Folder& destination) const;
  // The same under another name; with a `record`, read-only folders stay writable for
  // now (see FileManager::copyItem). Throws support::Interrupted when a signal stopped it.
  Folder copy(const Folder& destination, const std::string& asName,
              FileManager::CopyRecord* record = nullptr) const;

 protected:
  std::shared_ptr<const FileSystemItem> copyHandle() const override {
    return std::make_shared<Folder>(*this);
  }
};

}  // namespace korvaster::files
