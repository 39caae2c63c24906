// StagingFolder: a folder made beside a destination, in which something is built before it
// is moved into place with one rename. It stays locked while its owner lives, so that a
// later run can tell a live staging folder from one that a killed run left behind.
#pragma once

#include <memory>
#include <string>

#include "files/file_lock.h"

namespace korvaster::files {

class FileManager;

class StagingFolder {
 public:
  // Makes a new folder named `prefix` and six random characters in `parentPath`, locks it
  // and marks it (every call through `system`, which it keeps) with a file named `prefix` less its closing "-". Throws
  // FileIOError(writeFailed) when it cannot be made, support::Interrupted when a signal came
  // while waiting.
  StagingFolder(std::shared_ptr<const FileManager> system, const std::string& parentPath, const std::string& prefix);
  // Removes the folder with everything still in it, its mark last; a failure is left for
  // removeAbandoned.
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // Ends with "/".
  const std::string& path() const { return path_; }

  // Removes every folder in `parentPath` named like a staging folder of `prefix`, carrying
  // its mark (or empty), that no live process holds, its mark last; returns how many went.
  static int removeAbandoned(const FileManager& system, const std::string& parentPath, const std::string& prefix);

 private:
  std::shared_ptr<const FileManager> system_;
  std::string mark_;
  std::string path_;
  FileLock lock_;
};

}  // namespace korvaster::files
