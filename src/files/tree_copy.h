// TreeCopy: the copy of a folder tree from one opened folder into another, written once over
// the primitives of OpenedFolder: folders and links are made by the walking thread, regular
// files copied on helper threads (see FileCopyQueue), and each folder's own permission bits
// set once nothing more is to be made in it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "files/file_copy_queue.h"
#include "files/file_manager.h"
#include "files/opened_folder.h"

namespace korvaster::files {

class TreeCopy {
 public:
  // Consults `filter` (when set) on every item by its full source path, and fills `record`
  // (when given) as FileManager::copyItem says.
  TreeCopy(const FileManager::CopyFilter& filter, FileManager::CopyRecord* record, std::size_t helpers);

  // Copies the folder `from` as the new folder `name` in `into`, everything in it included.
  // False, with `failure` filled, at the first failure; whatever was made stays for the caller
  // to remove.
  bool copy(const std::shared_ptr<const OpenedFolder>& from, const std::shared_ptr<const OpenedFolder>& into,
            const std::string& name, Failure& failure);
  // Whether copy() made its new folder, which is then the caller's to remove after a failure.
  bool madeRoot() const { return madeRoot_; }

 private:
  // A folder whose bits would keep its owner from making anything in it: set last, children first.
  struct LateMode {
    std::shared_ptr<const OpenedFolder> parent;
    std::string name;
    unsigned mode;
  };

  bool copyFolder(const std::shared_ptr<const OpenedFolder>& from,
                  const std::shared_ptr<const OpenedFolder>& into, const std::string& name,
                  const std::string& relative, unsigned mode, Failure& failure);
  bool copyEntry(const std::shared_ptr<const OpenedFolder>& from,
                 const std::shared_ptr<const OpenedFolder>& to, const std::string& name,
                 const std::string& relative, Failure& failure);
  bool listed(const std::string& relative) const;

  const FileManager::CopyFilter& filter_;
  FileManager::CopyRecord* record_;
  FileCopyQueue files_;
  std::vector<LateMode> lateModes_;
  bool madeRoot_ = false;
};

}  // namespace korvaster::files
