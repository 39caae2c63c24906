#include "core/filemanager/archive_cleanup.h"

#include "files/file_system_sequence.h"

namespace korvaster {

ArchiveCount cleanAllXCArchives(const files::Folder& folder, const std::shared_ptr<Logger>& logger) {
  ArchiveCount count;
  for (const auto& subfolder : folder.subfolders()) {
    if (subfolder.extension() != "xcarchive") continue;
    ++count.foundArchives;
    try {
      subfolder.deleteItem();
      ++count.deleted;
      if (logger)
        logger->log(LogLevel::Debug, [&] { return "Archive " + subfolder.name() + " was deleted"; });
    } catch (const files::OperationError&) {
      if (logger) logger->log(LogLevel::Error, [&] { return "Can't delete xcarchive " + subfolder.name(); });
    }
  }
  return count;
}

}  // namespace korvaster
