#include "core/commands/writable_place.h"

#include <optional>

#include "core/options/project_configuration.h"
#include "core/xib/interface_builder_file.h"
#include "files/file_io_error.h"
#include "files/file_system_errors.h"
#include "files/folder.h"
#include "files/path_text.h"

namespace korvaster {

namespace {

void logRefusal(const std::shared_ptr<Logger>& logger, const char* withOption, const support::Error& error) {
  if (logger) {
    logger->log(LogLevel::Error, [&] {
      return std::string("Can't write ") + withOption + ": " + support::genericDescription(error);
    });
  }
}

// Why nothing could ever be written at `path`, in the folder `folder` that is there; nothing
// when it could.
std::optional<std::string> unwritableReason(const files::FileManager& system, const std::string& path,
                                            const std::string& folder, const WrittenFileLabel& label,
                                            WriteMode mode) {
  files::Failure denied;
  if (isInterfaceBuilderFileToChange(files::folderAndName(files::withoutTrailingSlashes(path)).second)) {
    // A slip of the tongue would cost the team a file of theirs, or one the run just gave its
    // identifiers.
    return std::string("it is named as an Interface Builder file, which ") + label.asNoun +
           (mode == WriteMode::appended ? " is never added to" : " never replaces");
  }
  if (files::folderAndName(files::withoutTrailingSlashes(path)).second == kProjectConfigurationName) {
    // The settings the run was started with, or will be the next time.
    return std::string("it is named as the project's settings file, which ") + label.asNoun +
           (mode == WriteMode::appended ? " is never added to" : " never replaces");
  }
  if (const auto kind = system.nonRegularKind(path)) return "it is " + *kind + ", not a regular file";
  const auto status = system.status(path, false);
  if (mode == WriteMode::appended) {
    // Appended to in place, a file with another name would change under that name too, which
    // may be one of the project's.
    if (status && status->links > 1)
      return std::string("it has another name (a hard link), which ") + label.asNoun + " is never added to";
    if (!status && !system.canWriteIn(folder, &denied)) return denied.reason;
    return std::nullopt;
  }
  const bool exists = status.has_value();
  // An existing file is replaced only when this process may write that file.
  if (!system.canWriteIn(folder, &denied) || (exists && !system.canWrite(path, &denied)))
    return denied.reason;
  return std::nullopt;
}

// The same file, or the same name in the same folder when neither exists yet.
bool namesSameFile(const files::FileManager& system, const std::string& one, const std::string& other) {
  const auto oneItem = system.identityOf(one), otherItem = system.identityOf(other);
  if (oneItem || otherItem) return oneItem == otherItem;
  const auto [oneFolder, oneName] = files::folderAndName(files::withoutTrailingSlashes(one));
  const auto [otherFolder, otherName] = files::folderAndName(files::withoutTrailingSlashes(other));
  if (oneName != otherName) return false;
  const auto oneFolderItem = system.folderIdentity(oneFolder);
  return oneFolderItem && oneFolderItem == system.folderIdentity(otherFolder);
}

}  // namespace

void refuseUnwritablePlace(const std::shared_ptr<files::FileManager>& system, const std::string& path,
                           const std::shared_ptr<Logger>& logger, const WrittenFileLabel& label,
                           WriteMode mode) {
  if (path.empty()) {
    const auto error = files::PathError::empty();
    logRefusal(logger, label.withOption, error);
    throw error;
  }
  const std::string folder = files::folderAndName(files::withoutTrailingSlashes(path)).first;
  try {
    static_cast<void>(files::Folder(folder, system));
  } catch (const files::PathError& error) {
    logRefusal(logger, label.withOption, error);
    throw;
  }
  if (const auto reason = unwritableReason(*system, path, folder, label, mode)) {
    const files::FileIOError failure(files::FileIOError::Case::writeFailed, path, *reason);
    logRefusal(logger, label.withOption, failure);
    throw failure;
  }
}

void refuseSameFile(const files::FileManager& system, const std::vector<NamedFile>& files,
                    const std::shared_ptr<Logger>& logger) {
  for (std::size_t one = 0; one < files.size(); ++one) {
    for (std::size_t other = one + 1; other < files.size(); ++other) {
      if ((files[one].updated && files[other].updated) ||
          !namesSameFile(system, files[one].path, files[other].path))
        continue;
      // Whichever came second would take the place of the first, or be lost in it.
      const files::FileIOError failure(files::FileIOError::Case::writeFailed, files[other].path,
                                       std::string("it is also ") + files[one].withOption);
      logRefusal(logger, files[other].withOption, failure);
      throw failure;
    }
  }
}

}  // namespace korvaster
