#include "core/filemanager/project_copy.h"

#include <algorithm>

#include "core/errors/korvast_error.h"
#include "files/deletion_guard.h"
#include "files/file_io_error.h"
#include "files/item_identity.h"
#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster {

namespace {

bool isKind(const files::FileManager& system, const std::string& path, files::ItemStatus::Kind kind) {
  const auto status = system.status(path, false);
  return status && status->kind == kind;
}

bool writeMark(const files::FileManager& system, const std::string& folder, const std::string& sourcePath,
               files::Failure& failure) {
  const std::string path = folder + kCopyMarkName;
  // A mark the project itself carried may be a link; the new one is a plain file of ours.
  const auto earlier = system.status(path, false);
  if (earlier && earlier->kind != files::ItemStatus::Kind::folder) static_cast<void>(system.removeItem(path));
  const std::string text = "This folder is a copy of " + sourcePath +
                           " made by korvaster, which may replace or remove it.\n";
  return system.createFile(path, text, &failure);
}

}  // namespace

ProjectCopy ProjectCopy::inPlace(const files::Folder& project) { return ProjectCopy(project); }

ProjectCopy::ProjectCopy(files::Folder project)
    : work_(project),
      root_(project.fileManager()->openFolder(project.path())),
      finalPath_(project.path()),
      isCopy_(false) {}

ProjectCopy::ProjectCopy(std::unique_ptr<files::StagingFolder> staging, files::Folder work, std::string finalPath,
                         files::FileManager::CopyRecord record, std::string sourcePath,
                         bool inToolFolder, std::shared_ptr<Logger> logger)
    : staging_(std::move(staging)),
      work_(std::move(work)),
      root_(work_.fileManager()->openFolder(work_.path())),
      finalPath_(std::move(finalPath)),
      deferredModes_(std::move(record.deferredModes)),
      listedLinks_(std::move(record.listedLinks)),
      sourcePath_(std::move(sourcePath)),
      inToolFolder_(inToolFolder),
      logger_(std::move(logger)) {
  // Without links every file has one name, which the copy saw, so its list is what a walk
  // of the copy would find; a link may add names, or lead out of the copy.
  if (!record.madeLinks) {
    std::sort(record.listedFiles.begin(), record.listedFiles.end(), files::comesBeforeInWalk);
    listedFiles_ = std::move(record.listedFiles);
  }
}

std::string ProjectCopy::shownPath(const std::string& workPath) const {
  const std::string& root = work_.path();
  if (workPath.compare(0, root.size(), root) != 0) return workPath;
  return finalPath_ + workPath.substr(root.size());
}

void ProjectCopy::replaceLinksLeadingOut() const {
  if (listedLinks_.empty()) return;
  const auto& system = *work_.fileManager();
  const auto copyRoot = system.realPath(work_.path());
  if (!copyRoot) return;
  for (const auto& relative : listedLinks_) {
    const std::string link = work_.path() + relative;
    const auto real = system.realPath(link);
    if (real && files::liesInside(*real, *copyRoot)) continue;  // the pass changes it through its target
    // Followed from where it lies in the project, the link leads where the user meant it to.
    const std::string original = files::joinedPath(sourcePath_, relative);
    if (!system.isRegularFile(original)) continue;
    try {
      system.replaceLinkWithCopy(link, original);
    } catch (const files::FileIOError& error) {
      if (logger_) {
        logger_->log(LogLevel::Warning, [&] {
          return "Can't replace the link " + shownPath(link) + " with a file: " + support::genericDescription(error);
        });
      }
    }
  }
}

void ProjectCopy::fail(const std::string& reason) const {
  if (logger_) logger_->log(LogLevel::Error, [&] { return reason; });
  throw KorvastError::failedToCopyProject().because(reason);
}

std::optional<std::string> ProjectCopy::refusalToCopyInto(const files::FileManager& system, const files::Folder& source,
                                                          const files::Folder& destination) {
  const auto project = system.realPath(source.path());
  const auto target = system.realPath(destination.path());
  if (!project || !target) return std::nullopt;
  const std::string copyPath = files::joinedPath(*target, source.name());
  const auto projectIdentity = system.identityOf(*project);
  const auto copyIdentity = system.identityOf(copyPath, true);
  std::string reason;
  if (copyPath == *project || (copyIdentity && copyIdentity == projectIdentity)) {
    reason = "the copy would replace the project itself at " + *project;
  } else if (files::liesInside(copyPath, *project) ||
             (projectIdentity && system.isSameOrWithin(*target, *projectIdentity))) {
    reason = "the copy " + copyPath + " would lie inside the project " + *project;
  } else if (files::liesInside(*project, copyPath) ||
             (copyIdentity && system.isSameOrWithin(*project, *copyIdentity))) {
    reason = "the copy " + copyPath + " would replace a folder that holds the project " + *project;
  } else {
    return std::nullopt;
  }
  return "Refusing to copy the project: " + reason + ".";
}

std::optional<std::string> ProjectCopy::refusalToReplace(const files::FileManager& system, const std::string& target,
                                                         bool inToolFolder) {
  const auto status = system.status(target, false);
  if (!status) return std::nullopt;
  // Replacing removes what was there: the home folder, the current directory and whatever
  // holds them are never replaced, whatever mark they carry.
  if (auto refusal = system.removalRefusal(target)) {
    return "Refusing to replace " + target + ": " + *refusal + ".";
  }
  if (inToolFolder) return std::nullopt;
  if (status->kind == files::ItemStatus::Kind::folder &&
      isKind(system, target + "/" + kCopyMarkName, files::ItemStatus::Kind::regular)) {
    return std::nullopt;
  }
  return "Refusing to replace " + target + ": it holds no " + kCopyMarkName +
         " mark, so korvaster did not make it. Move it away or choose another output folder.";
}

void ProjectCopy::commit() {
  // A signal that came during the last file still ends the run as interrupted.
  support::throwIfInterrupted();
  if (!staging_) return;
  const std::string target = files::withoutTrailingSlashes(finalPath_);
  const std::string work = files::withoutTrailingSlashes(work_.path());
  const auto& system = *work_.fileManager();
  files::Failure failure;
  if (!writeMark(system, work_.path(), sourcePath_, failure)) {
    fail("Can't mark the copy " + target + " as made by korvaster: " + failure.reason);
  }
  // Checked again now: the user may have put something there while the copy was made.
  if (auto reason = refusalToReplace(system, target, inToolFolder_)) fail(*reason);

  // The earlier copy goes into the staging folder, to be removed with it.
  const std::string previous = staging_->path() + "previous";
  const auto existing = system.status(target, false);
  const bool hasEarlier = existing.has_value();
  // Moving a folder to another parent rewrites its "..", which needs write access to it.
  constexpr unsigned kOwnerWrite = 0200, kOwnerAll = 0700;
  if (hasEarlier && existing->kind == files::ItemStatus::Kind::folder && (existing->mode & kOwnerWrite) == 0) {
    static_cast<void>(system.applyFolderModes(target, {{"", existing->mode | kOwnerAll}}));
  }
  if (hasEarlier && !system.moveItem(target, previous, &failure)) {
    fail("Can't move the earlier copy " + target + " aside: " + failure.reason);
  }
  if (!system.moveItem(work, target, &failure)) {
    if (hasEarlier) static_cast<void>(system.moveItem(previous, target));
    fail("Can't move the new copy into " + target + ": " + failure.reason);
  }
  if (!system.applyFolderModes(target, deferredModes_) && logger_) {
    logger_->log(LogLevel::Warning, [&] {
      return "Some read-only folders of " + target + " could not get their permission bits back.";
    });
  }
  work_ = files::Folder(finalPath_, work_.fileManager());
  staging_.reset();
}

}  // namespace korvaster
