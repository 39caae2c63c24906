// KorvastFileManager: the per-run file service of both subcommands. Making it ensures the
// working folder tree under the home folder; it copies projects, finds and changes their
// Interface Builder files, and prepares build folders.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/filemanager/interface_builder_file_search.h"
#include "core/filemanager/project_copy.h"
#include "core/filemanager/run_locks.h"
#include "core/logging/logger.h"
#include "core/xib/identifier_pass.h"
#include "core/xib/interface_builder_file.h"
#include "files/file.h"
#include "files/file_manager.h"
#include "files/folder.h"
#include "support/terminal.h"

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

// What a run takes from its surroundings besides the disk: how many threads its batches may
// use, and where its progress line is drawn (none: no progress line).
struct RunSurroundings {
  std::size_t workers = 1;
  support::Terminal* terminal = nullptr;
};

class KorvastFileManager {
 public:
  // Creates ~/.korvast/CommandLineTool/{AppBuilds,Projects,Locks} where missing and keeps
  // them, the home folder and the current directory from ever being deleted; throws
  // KorvastError::failedToCreateFolder (or the file layer's PathError when there is no home).
  using Surroundings = RunSurroundings;

  // Every file-system call goes through `system` (by default the real one).
  explicit KorvastFileManager(std::shared_ptr<Logger> logger,
                              const std::shared_ptr<files::FileManager>& system = nullptr,
                              Surroundings surroundings = {});

  // Starts the copy of the project at `from` into `to` (default: the projects folder) under
  // the project's own name, in a staging folder there; ProjectCopy::commit() puts it in
  // place of an earlier copy. When `to` is the project folder itself, the copy is the
  // project, uncopied. The run holds a lock on the copy's place until it ends, so runs that
  // would write the same copy take turns. Opening either folder throws the file layer's
  // error; a copy that would replace, contain or land inside the project, replace a folder
  // this tool did not make, or fail, throws KorvastError::failedToCopyProject after an Error
  // log line that says why.
  ProjectCopy copy(const std::string& from, const std::optional<std::string>& to) const;

  // The build folder of a workspace (its name without extension) in AppBuilds, created if
  // needed and locked for the rest of the run (waiting, with an Info line, while another
  // run holds it); the returned path ends with "/". Throws KorvastError::failedToCreateFolder.
  std::string prepareProjectBuildFolder(const std::string& workspace) const;

  // Deletes the archives in the builds folder and in each build folder directly inside it,
  // except in build folders another live run holds. Throws
  // KorvastError::failedToCleanArchives (with the builds folder's path) when any archive
  // could not be deleted, after trying every one.
  void cleanArchives() const;

  // Every regular .xib and .storyboard file below `folder` (hidden items skipped, links to
  // folders outside it never followed), in enumeration order; see findInterfaceBuilderFiles
  // for what `notes` receive.
  std::vector<files::File> findIBFiles(const files::Folder& folder, InterfaceBuilderSearchNotes* notes = nullptr) const;
  // The same for a copy, from the list the copy made when it has one: a second walk of a
  // large tree costs a good part of the copy's own time.
  std::vector<files::File> findIBFiles(const ProjectCopy& copy, InterfaceBuilderSearchNotes* notes = nullptr) const;

  // runIdentifierPass over `files`, reached from `root`, through this service's file system
  // and logger.
  IdentifierPassSummary modifyAccessibilityId(
      const std::shared_ptr<files::OpenedFolder>& root, const std::vector<files::File>& files,
      const std::function<std::string(const std::string&)>& shownPath = nullptr,
      IBFileWrite write = IBFileWrite::atomically, const std::function<void()>& onFileDone = nullptr) const;

  const std::shared_ptr<Logger>& logger() const { return logger_; }
  // How many threads a batch of this run may use; at least one.
  std::size_t workers() const { return surroundings_.workers; }
  // Where this run's progress line goes, if anywhere.
  support::Terminal* terminal() const { return surroundings_.terminal; }
  // ~/.korvast/CommandLineTool/Projects/ and .../AppBuilds/.
  const files::Folder& projectsFolder() const { return projects_; }
  const files::Folder& buildsFolder() const { return builds_; }
  // The file system every call goes through, with the copy filter.
  const std::shared_ptr<files::FileManager>& system() const { return system_; }

 private:
  // The tool folder, made (with the working folder) in the home folder; it is opened once
  // and handed to the folders made inside it.
  struct ToolFolder {
    ToolFolder(const files::Folder& home, const std::shared_ptr<Logger>& logger);
    files::Folder folder;
  };
  KorvastFileManager(std::shared_ptr<Logger> logger, const std::shared_ptr<files::FileManager>& system,
                     const ToolFolder& tool, Surroundings surroundings);

  void log(LogLevel level, const std::string& message) const;
  // Logs `reason` as an Error line and throws KorvastError::failedToCopyProject with it.
  [[noreturn]] void refuse(const std::string& reason) const;
  // Copies `source` into a new staging folder in `destination`, bound for `finalPath`; throws
  // KorvastError::failedToCopyProject (after an Error line) or support::Interrupted.
  ProjectCopy stagedCopy(const files::Folder& source, const files::Folder& destination, const std::string& finalPath,
                         const std::string& sourceReal, bool inToolFolder) const;
  // Holds, for the rest of the run, the lock that stands for `place` (a real path).
  void holdLockFor(const std::string& place, const std::string& shownPlace) const;

  std::shared_ptr<Logger> logger_;
  files::Folder projects_;
  files::Folder builds_;
  std::shared_ptr<files::FileManager> system_;
  RunLocks locks_;
  Surroundings surroundings_;
};

}  // namespace korvaster
