// Removal of xcodebuild archives (folders named *.xcarchive) from a folder's immediate subfolders.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/logging/logger.h"
#include "files/folder.h"

namespace korvaster {

struct ArchiveCount {
  int foundArchives = 0;
  int deleted = 0;
  // Why the first deletion that failed did, when one did.
  std::optional<std::string> firstFailure;
};

// Whether the folder handle stands for a link rather than a real folder.
bool isLink(const files::Folder& folder);

// Deletes every immediate, non-hidden subfolder whose extension is exactly "xcarchive" and
// that is a real folder, not a link. A deletion that fails is logged by name, with its reason,
// and the walk goes on; never throws.
ArchiveCount cleanAllXCArchives(const files::Folder& folder, const std::shared_ptr<Logger>& logger);

}  // namespace korvaster
