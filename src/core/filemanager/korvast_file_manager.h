// KorvastFileManager: the per-run file service of both subcommands. Making it ensures the
// working folder tree under the home folder; it copies projects, finds and changes their
// Interface Builder files, and prepares build folders.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/logging/logger.h"
#include "files/file.h"
#include "files/file_manager.h"
#include "files/folder.h"

namespace korvaster {

// The last component of a workspace path without its last extension:
// ".../My.App.xcworkspace" gives "My.App". Build folders and archives are named after it.
std::string workspaceName(std::string path);

// The copy filter: leaves version-control metadata behind.
class KorvastFileManagerHelper {
 public:
  // False when the source path contains "/.svn", "/.git" or "/.hg" anywhere.
  static bool shouldCopyItem(const std::string& sourcePath);
};

class KorvastFileManager {
 public:
  // Creates ~/.korvast/CommandLineTool/{AppBuilds,Projects} where missing; throws
  // KorvastError::failedToCreateFolder (or the file layer's PathError when there is no home).
  explicit KorvastFileManager(std::shared_ptr<Logger> logger);

  // Copies the project at `from` into `to` (default: the projects folder) under its own
  // name, replacing an earlier copy there, and returns the copy. When `to` is the project
  // folder itself, returns it uncopied. Opening either folder throws the file layer's error;
  // a copy that would replace, contain or land inside the project, or any failure to remove
  // the earlier copy or to copy, throws KorvastError::failedToCopyProject.
  files::Folder copy(const std::string& from, const std::optional<std::string>& to) const;

  // The build folder of a workspace (its name without extension) in AppBuilds, created if
  // needed; the returned path ends with "/". Throws KorvastError::failedToCreateFolder.
  std::string prepareProjectBuildFolder(const std::string& workspace) const;

  // Deletes the archives in the builds folder and in each build folder directly inside it.
  // Throws KorvastError::failedToCleanArchives (with the builds folder's path) when any
  // archive could not be deleted, after trying every one.
  void cleanArchives() const;

  // Every .xib and .storyboard file below `folder` (hidden items skipped) whose real path
  // lies inside the folder's real path, in enumeration order.
  std::vector<files::File> findIBFiles(const files::Folder& folder) const;

  // Gives the views of each file their accessibility identifiers and rewrites the file
  // atomically. A file that fails is logged, counted and left whole. True when none failed.
  bool modifyAccessibilityId(const std::vector<files::File>& files) const;

  std::shared_ptr<Logger> logger;
  files::Folder home;
  files::Folder projects;
  files::Folder builds;
  std::shared_ptr<files::FileManager> fileManager;

 private:
  // The tool folder is opened once and handed to the two folders made inside it.
  KorvastFileManager(std::shared_ptr<Logger> logger, const files::Folder& homeFolder);
  KorvastFileManager(std::shared_ptr<Logger> logger, const files::Folder& homeFolder,
                     const files::Folder& tool);

  void log(LogLevel level, const std::string& message) const;
  void refuseCopyOntoProject(const files::Folder& source, const files::Folder& destination) const;
};

}  // namespace korvaster
