#include "core/filemanager/korvast_file_manager.h"

#include <set>

#include "core/errors/korvast_error.h"
#include "core/filemanager/archive_cleanup.h"
#include "core/filemanager/interface_builder_file_search.h"
#include "core/errors/working_folder_name.h"
#include "core/xib/interface_builder_file.h"
#include "files/deletion_guard.h"
#include "files/file_io_error.h"
#include "files/file_system_errors.h"
#include "files/file_system_sequence.h"
#include "files/path_text.h"
#include "files/staging_folder.h"
#include "support/interruption.h"

namespace korvaster {

namespace {

constexpr const char* kToolFolderName = "CommandLineTool";
constexpr const char* kBuildsFolderName = "AppBuilds";
constexpr const char* kProjectsFolderName = "Projects";
constexpr const char* kLocksFolderName = "Locks";
constexpr const char* kStagingPrefix = ".korvaster-staging-";
// The name of the new tree inside its staging folder.
constexpr const char* kStagedCopyName = "copy";

// The fixed report line of failedToCreateFolder names no reason, so the log line before it does.
files::Folder subfolderOrFail(const files::Folder& parent, const std::string& name,
                              const std::shared_ptr<Logger>& logger) {
  try {
    return parent.createSubfolderIfNeeded(name);
  } catch (const files::FolderError& error) {
    if (logger) logger->log(LogLevel::Error, [&] { return "Can't create a folder: " + support::genericDescription(error); });
    throw KorvastError::failedToCreateFolder().because(error);
  }
}

files::Folder homeFolder(const std::shared_ptr<files::FileManager>& system) {
  const auto path = system->homeDirectoryPath();
  if (!path) throw files::PathError::homeNotFound();
  try {
    return files::Folder(*path, system);
  } catch (const files::PathError&) {
    throw files::PathError::homeNotFound();
  }
}


}  // namespace

std::string workspaceName(std::string path) {
  path = files::withoutTrailingSlashes(std::move(path));
  std::string name = path.substr(path.rfind('/') + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

bool KorvastFileManagerHelper::shouldCopyItem(const std::string& sourcePath) {
  for (const char* marker : {"/.svn", "/.git", "/.hg"}) {
    if (sourcePath.find(marker) != std::string::npos) return false;
  }
  return true;
}

KorvastFileManager::KorvastFileManager(std::shared_ptr<Logger> serviceLogger,
                                       const std::shared_ptr<files::FileManager>& system, Surroundings surroundings)
    : KorvastFileManager(serviceLogger, system ? system : files::FileManager::defaultManager(),
                         ToolFolder{homeFolder(system ? system : files::FileManager::defaultManager()), serviceLogger},
                         surroundings) {}

KorvastFileManager::ToolFolder::ToolFolder(const files::Folder& home, const std::shared_ptr<Logger>& logger)
    : folder(subfolderOrFail(subfolderOrFail(home, kWorkingFolderName, logger), kToolFolderName, logger)) {
  home.fileManager()->protectFromRemoval(home.path());
}

KorvastFileManager::KorvastFileManager(std::shared_ptr<Logger> serviceLogger,
                                       const std::shared_ptr<files::FileManager>& system, const ToolFolder& tool,
                                       Surroundings surroundings)
    : logger_(std::move(serviceLogger)),
      projects_(subfolderOrFail(tool.folder, kProjectsFolderName, logger_)),
      builds_(subfolderOrFail(tool.folder, kBuildsFolderName, logger_)),
      system_(system->withCopyFilter(&KorvastFileManagerHelper::shouldCopyItem)),
      locks_(subfolderOrFail(tool.folder, kLocksFolderName, logger_)),
      surroundings_{std::max<std::size_t>(surroundings.workers, 1), surroundings.terminal} {
  // Protecting the deepest folders protects every folder that holds them, up to "/".
  for (const std::string& path : {projects_.path(), builds_.path(), locks_.lockFolder().path()}) {
    system_->protectFromRemoval(path);
  }
}

void KorvastFileManager::holdLockFor(const std::string& place, const std::string& shownPlace) const {
  locks_.holdPlace(place, [&] {
    log(LogLevel::Info, "Another korvaster run is working on " + shownPlace + "; waiting for it to finish.");
  });
}

void KorvastFileManager::log(LogLevel level, const std::string& message) const {
  if (logger_) logger_->log(level, [&] { return message; });
}

void KorvastFileManager::refuse(const std::string& reason) const {
  log(LogLevel::Error, reason);
  throw KorvastError::failedToCopyProject().because(reason);
}

ProjectCopy KorvastFileManager::copy(const std::string& from, const std::optional<std::string>& to) const {
  const files::Folder source(from, system_);
  const files::Folder destination = [&] {
    if (!to) return projects_;
    try {
      return files::Folder(*to, system_);
    } catch (const files::PathError& error) {
      if (error.reason() != "it does not exist") throw;
      // The copy goes into the folder, which korvaster never makes: a mistyped path would
      // otherwise become a new tree somewhere.
      throw files::PathError::invalid(error.path(), "the --output folder does not exist: create it first");
    }
  }();
  // Compared by real path and by device and inode too: the same folder reached through a
  // link, a bind mount or another spelling is the project, and the project is changed where
  // it lies.
  const auto sourceReal = system_->realPath(source.path());
  const auto destinationReal = system_->realPath(destination.path());
  const auto projectsReal = system_->realPath(projects_.path());
  const auto sourceIdentity = system_->identityOf(source.path());
  const auto sameFolder = [&](const std::optional<std::string>& real, const files::Folder& other) {
    return (sourceReal && sourceReal == real) || (sourceIdentity && sourceIdentity == system_->identityOf(other.path()));
  };
  if (!to && sameFolder(projectsReal, projects_)) {
    refuse("Refusing to copy the project: " + source.path() +
           " is korvaster's own projects folder, which holds the copies it makes.");
  }
  if (source == destination || sameFolder(destinationReal, destination)) {
    // Locked through the folder itself, not a lock file of this user's: runs with another
    // home folder, or through another path to it, take turns with this one too.
    locks_.holdFolder(source.path(), [&] {
      log(LogLevel::Info, "Another korvaster run is working on " + source.path() + "; waiting for it to finish.");
    });
    return ProjectCopy::inPlace(source);
  }
  if (source.name().empty()) {
    refuse("Refusing to copy the project: the root folder \"/\" is not a project.");
  }
  if (auto reason = ProjectCopy::refusalToCopyInto(*system_, source, destination)) refuse(*reason);
  system_->protectFromRemoval(source.path());

  const std::string finalPath = destination.path() + source.name() + "/";
  holdLockFor(destinationReal.value_or(destination.path()) + "/" + source.name(), finalPath);
  const bool inToolFolder = destinationReal && destinationReal == projectsReal;
  if (auto reason = ProjectCopy::refusalToReplace(*system_, files::withoutTrailingSlashes(finalPath), inToolFolder)) {
    refuse(*reason);
  }
  // What a killed run left behind goes first; folders of live runs are locked and stay.
  files::StagingFolder::removeAbandoned(*system_, destination.path(), kStagingPrefix);
  return stagedCopy(source, destination, finalPath, sourceReal.value_or(source.path()), inToolFolder);
}

ProjectCopy KorvastFileManager::stagedCopy(const files::Folder& source, const files::Folder& destination,
                                           const std::string& finalPath, const std::string& sourceReal,
                                           bool inToolFolder) const {
  std::string stagedPath;
  try {
    auto staging = std::make_unique<files::StagingFolder>(system_, destination.path(), kStagingPrefix);
    stagedPath = staging->path() + kStagedCopyName;
    files::FileManager::CopyRecord record;
    record.listFile = isInterfaceBuilderFileToChange;
    files::Folder work = source.copy(files::Folder(staging->path(), system_), kStagedCopyName, &record);
    return ProjectCopy(std::move(staging), std::move(work), finalPath, std::move(record), sourceReal, inToolFolder,
                       logger_);
  } catch (const support::Interrupted&) {
    throw;
  } catch (const files::OperationError& error) {
    // The staging folder is gone with the failure: the file is named where the copy was to be.
    const auto shown = [&](std::string text) {
      for (auto at = text.find(stagedPath); !stagedPath.empty() && at != std::string::npos;
           at = text.find(stagedPath, at)) {
        text.replace(at, stagedPath.size(), files::withoutTrailingSlashes(finalPath));
      }
      return text;
    };
    if (error.errorCase() == files::OperationError::Case::copyFailed) {
      log(LogLevel::Error, "Copy File operation failed. Description: " + shown(support::genericDescription(error)));
    }
    throw KorvastError::failedToCopyProject().because(shown(*error.ownDescription()));
  } catch (const support::Error& error) {
    log(LogLevel::Error, "Can't prepare the copy in " + destination.path() + ": " + support::genericDescription(error));
    throw KorvastError::failedToCopyProject().because(error);
  }
}

std::string KorvastFileManager::prepareProjectBuildFolder(const std::string& workspace) const {
  const std::string name = workspaceName(workspace);
  if (name.empty() || name == "." || name == "..") {
    const std::string reason =
        "The workspace " + workspace + " gives no name for a build folder inside " + builds_.path() + ".";
    log(LogLevel::Error, reason);
    throw KorvastError::failedToCreateFolder().because(reason);
  }
  std::string path;
  try {
    // Whatever the folder already holds stays; a run that made it a moment ago is no failure.
    path = builds_.createSubfolderIfNeeded(name).path();
  } catch (const files::FolderError& error) {
    throw KorvastError::failedToCreateFolder().because(error);
  }
  // Held until the run ends: another run's clean-up must not take the archive away while
  // this run builds or exports it, and two runs must not write one archive at once.
  try {
    locks_.holdFolder(path, [&] {
      log(LogLevel::Info, "Another korvaster run is building in " + path + "; waiting for it to finish.");
    });
  } catch (const files::FileIOError& error) {
    log(LogLevel::Error, "Can't lock the build folder: " + support::genericDescription(error));
    throw KorvastError::failedToCreateFolder().because(error);
  }
  return path;
}

void KorvastFileManager::cleanArchives() const {
  if (logger_) logger_->log(LogLevel::Debug, [] { return "Cleaning..."; });
  std::optional<std::string> failure;
  auto clean = [&](const files::Folder& folder) {
    std::optional<files::FileLock> lock;
    if (!locks_.holdsFolder(folder.path())) {
      try {
        lock = system_->lockItem(folder.path(), files::FileLock::Target::folder, false);
      } catch (const files::FileIOError&) {
      }
      if (!lock) {
        if (logger_) {
          logger_->log(LogLevel::Debug, [&] { return "Archives in " + folder.path() + " belong to another run"; });
        }
        return;
      }
    }
    const ArchiveCount count = cleanAllXCArchives(folder, logger_);
    if (!failure) failure = count.firstFailure;
  };
  clean(builds_);
  for (const auto& buildFolder : builds_.subfolders()) {
    // A linked build folder leads out of the tool's folders, to archives it did not make.
    if (!isLink(buildFolder)) clean(buildFolder);
  }
  if (failure) throw KorvastError::failedToCleanArchives(builds_.path()).because(*failure);
  if (logger_) logger_->log(LogLevel::Debug, [] { return "Cleaning succeeded."; });
}

std::vector<files::File> KorvastFileManager::findIBFiles(const files::Folder& folder,
                                                         InterfaceBuilderSearchNotes* notes) const {
  return findInterfaceBuilderFiles(folder, *system_, notes);
}

std::vector<files::File> KorvastFileManager::findIBFiles(const ProjectCopy& copy, InterfaceBuilderSearchNotes* notes) const {
  const auto& listed = copy.listedFiles();
  if (!listed) return findIBFiles(copy.workFolder(), notes);
  std::vector<files::File> found;
  found.reserve(listed->size());
  for (const auto& relative : *listed) {
    try {
      found.emplace_back(copy.workFolder().path() + relative, copy.workFolder().fileManager());
    } catch (const files::PathError&) {
      // Gone from the staging folder, where only this run writes: nothing to change. Unless
      // it is there but cannot be reached by its path (deeper than a path may be long): then
      // its folder could not be searched, as a search in place would say.
      const std::string path = copy.workFolder().path() + relative;
      const auto reason = system_->lookFailure(path);
      if (reason && notes) notes->unlistedFolders.push_back({path.substr(0, path.rfind('/')), *reason});
    }
  }
  return found;
}

IdentifierPassSummary KorvastFileManager::modifyAccessibilityId(
    const std::shared_ptr<files::OpenedFolder>& root, const std::vector<files::File>& ibFiles,
    const std::function<std::string(const std::string&)>& shownPath, IBFileWrite write,
    const std::function<void()>& onFileDone) const {
  return runIdentifierPass(*system_, root, ibFiles, logger_, workers(), shownPath, write, onFileDone);
}

}  // namespace korvaster
