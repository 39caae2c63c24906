#include "core/commands/writable_place.h"

#include <optional>

#include "core/xib/interface_builder_file.h"
#include "files/file_io_error.h"
#include "files/file_system_errors.h"
#include "files/folder.h"
#include "files/path_text.h"

namespace korvaster {

void refuseUnwritablePlace(const std::shared_ptr<files::FileManager>& system, const std::string& path,
                           const std::shared_ptr<Logger>& logger, const WrittenFileLabel& label) {
  const auto refuse = [&](const support::Error& error) {
    if (logger) {
      logger->log(LogLevel::Error, [&] {
        return std::string("Can't write ") + label.withOption + ": " + support::genericDescription(error);
      });
    }
  };
  if (path.empty()) {
    const auto error = files::PathError::empty();
    refuse(error);
    throw error;
  }
  const std::string folder = files::folderAndName(files::withoutTrailingSlashes(path)).first;
  try {
    static_cast<void>(files::Folder(folder, system));
  } catch (const files::PathError& error) {
    refuse(error);
    throw;
  }
  std::optional<files::FileIOError> failure;
  files::Failure denied;
  if (isInterfaceBuilderFileToChange(files::folderAndName(files::withoutTrailingSlashes(path)).second)) {
    // A slip of the tongue would cost the team a file of theirs, or one the run just gave its
    // identifiers.
    failure.emplace(files::FileIOError::Case::writeFailed, path,
                    std::string("it is named as an Interface Builder file, which ") + label.asNoun +
                        " never replaces");
  } else if (const auto kind = system->nonRegularKind(path)) {
    failure.emplace(files::FileIOError::Case::writeFailed, path, "it is " + *kind + ", not a regular file");
  } else if (!system->canWriteIn(folder, &denied) ||
             (system->status(path, false) && !system->canWrite(path, &denied))) {
    // An existing file is replaced only when this process may write that file.
    failure.emplace(files::FileIOError::Case::writeFailed, path, denied.reason);
  }
  if (failure) {
    refuse(*failure);
    throw *failure;
  }
}

}  // namespace korvaster
