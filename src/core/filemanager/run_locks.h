// RunLocks: the locks one run holds until it ends, so that runs writing the same copy or
// building in the same build folder take turns. Copies share the same set.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/file_lock.h"
#include "files/folder.h"

namespace korvaster {

class RunLocks {
 public:
  // Lock files for places that do not exist yet live in `lockFolder`.
  explicit RunLocks(files::Folder lockFolder);

  // Waits (calling `onWait` once first, when it must) for the lock that stands for `place`,
  // a real path, and holds it. Throws files::FileIOError, or support::Interrupted.
  void holdPlace(const std::string& place, const std::function<void()>& onWait) const;
  // The same for an existing folder, locked through a handle on it; held at most once.
  void holdFolder(const std::string& path, const std::function<void()>& onWait) const;
  // Whether this run holds the lock on the folder at `path`.
  bool holdsFolder(const std::string& path) const;

  const files::Folder& lockFolder() const { return lockFolder_; }

 private:
  files::Folder lockFolder_;
  std::shared_ptr<std::vector<files::FileLock>> held_ = std::make_shared<std::vector<files::FileLock>>();
};

}  // namespace korvaster
