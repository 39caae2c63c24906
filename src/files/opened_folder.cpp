#include "files/opened_folder.h"

#include <cerrno>

#include "files/file_io_error.h"
#include "files/path_text.h"

namespace korvaster::files {

std::shared_ptr<OpenedFolder> OpenedFolder::openFolder(std::string_view name) const {
  std::shared_ptr<OpenedFolder> child;
  const int error = openChild(name, child);
  if (error == 0) return child;
  const std::string path = joinedPath(shownPath(), std::string(name));
  // A link refused by O_NOFOLLOW gives ELOOP, or ENOTDIR on some systems.
  if (error == ELOOP || error == ENOTDIR) {
    throw FileIOError(FileIOError::Case::writeFailed, path,
                      "it is no longer a folder of the project: a link or another item took its place");
  }
  throw FileIOError(FileIOError::Case::writeFailed, path, error);
}

std::optional<FileVersion> OpenedFolder::versionOf(std::string_view name) const {
  ItemStatus status;
  if (statusOf(name, status) != 0) return std::nullopt;
  return FileVersion{status.identity,
                     static_cast<off_t>(status.size),
                     status.modifiedSeconds,
                     status.modifiedNanoseconds,
                     status.changedSeconds,
                     status.changedNanoseconds,
                     status.links};
}

}  // namespace korvaster::files
