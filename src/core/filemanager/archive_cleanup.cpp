#include "core/filemanager/archive_cleanup.h"

#include "files/file_system_sequence.h"

namespace korvaster {

bool isLink(const files::Folder& folder) {
  const std::string& path = folder.path();
  return folder.fileManager()->isSymbolicLink(path.size() > 1 ? path.substr(0, path.size() - 1) : path);
}

ArchiveCount cleanAllXCArchives(const files::Folder& folder, const std::shared_ptr<Logger>& logger) {
  ArchiveCount count;
  for (const auto& subfolder : folder.subfolders()) {
    if (subfolder.extension() != "xcarchive") continue;
    // xcodebuild writes a real folder; a link leads to something this tool did not make.
    if (isLink(subfolder)) continue;
    ++count.foundArchives;
    try {
      subfolder.deleteItem();
      ++count.deleted;
      if (logger)
        logger->log(LogLevel::Debug, [&] { return "Archive " + subfolder.name() + " was deleted"; });
    } catch (const files::OperationError& error) {
      const std::string reason = support::plainDescription(error);
      if (!count.firstFailure) count.firstFailure = reason;
      if (logger)
        logger->log(LogLevel::Error, [&] { return "Can't delete xcarchive " + subfolder.name() + ": " + reason; });
    }
  }
  return count;
}

}  // namespace korvaster
