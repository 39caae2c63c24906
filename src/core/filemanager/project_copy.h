// ProjectCopy: a project copy on its way into place. The tree is copied and changed in a
// staging folder beside its final place, then moved there with one rename by commit(); until
// then the final place keeps the earlier copy, and a copy that is dropped uncommitted leaves
// nothing behind. Made by KorvastFileManager::copy; a copy "in place" is the project itself.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/logging/logger.h"
#include "files/file_manager.h"
#include "files/folder.h"
#include "files/staging_folder.h"

namespace korvaster {

// The file that marks a folder as a copy this tool made, so that it may be replaced.
inline constexpr const char* kCopyMarkName = ".korvaster-copy";

class ProjectCopy {
 public:
  // The project itself, changed where it lies. Throws files::FileIOError when it cannot be
  // opened.
  static ProjectCopy inPlace(const files::Folder& project);
  // A copy of `sourcePath` built in `staging` at `work`, bound for `finalPath` (ending with
  // "/"), which lies in the tool's own projects folder when `inToolFolder`.
  ProjectCopy(std::unique_ptr<files::StagingFolder> staging, files::Folder work, std::string finalPath,
              files::FileManager::CopyRecord record, std::string sourcePath, bool inToolFolder,
              std::shared_ptr<Logger> logger);

  // False when the "copy" is the project itself.
  bool isCopy() const { return isCopy_; }
  // Where the files are to be changed now.
  const files::Folder& workFolder() const { return work_; }
  // The work folder, held open since the copy was made (in place: since the project was
  // locked), through which its files are changed: a folder swapped later leads nowhere else.
  const std::shared_ptr<files::OpenedFolder>& rootFolder() const { return root_; }
  // Where the copy is once committed; ends with "/".
  const std::string& path() const { return finalPath_; }
  // The files the copy listed as it made them (see FileManager::CopyRecord), by path relative
  // to the work folder in the order a walk of it gives, or nothing when no list can stand
  // for such a walk: the project itself, or a copy with links in it.
  const std::optional<std::vector<std::string>>& listedFiles() const { return listedFiles_; }
  // `workPath`, a path inside the work folder, as it will be named once committed.
  std::string shownPath(const std::string& workPath) const;

  // Makes each Interface Builder file of the copy that is a link leading out of the copy (or
  // nowhere, once copied) a file of the copy's own, holding what the project's link leads
  // to: the pass then changes the copy and never the file outside it. A link that cannot be
  // replaced stays, after a Warning line. Nothing to do in place.
  void replaceLinksLeadingOut() const;

  // Marks the copy, moves any earlier copy aside, moves this one into place and removes the
  // staging folder with the earlier copy in it. Throws KorvastError::failedToCopyProject,
  // after an Error log line that says why, and support::Interrupted.
  void commit();

  // Why the project `source` must not be copied into `destination`, as an Error line says it,
  // or nothing when it may: the copy would be the project itself, lie inside it, or replace a
  // folder that holds it. Compared by real path and by device and inode, so that a link or a
  // bind mount is the folder it leads to.
  static std::optional<std::string> refusalToCopyInto(const files::FileManager& system, const files::Folder& source,
                                                      const files::Folder& destination);

  // Why the item at `target` (a path without trailing "/") must not be replaced by a copy,
  // or nothing when it may be: in the tool's own projects folder (`inToolFolder`) anything
  // may, elsewhere only a folder carrying the mark.
  static std::optional<std::string> refusalToReplace(const files::FileManager& system, const std::string& target,
                                                     bool inToolFolder);

 private:
  explicit ProjectCopy(files::Folder project);
  [[noreturn]] void fail(const std::string& reason) const;

  std::unique_ptr<files::StagingFolder> staging_;
  files::Folder work_;
  std::shared_ptr<files::OpenedFolder> root_;
  std::string finalPath_;
  files::FileManager::FolderModes deferredModes_;
  std::optional<std::vector<std::string>> listedFiles_;
  std::vector<std::string> listedLinks_;
  std::string sourcePath_;
  bool inToolFolder_ = false;
  bool isCopy_ = true;
  std::shared_ptr<Logger> logger_;
};

}  // namespace korvaster
