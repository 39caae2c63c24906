// DeletionGuard: the last line of defence against removing what must never go. Whatever a
// caller asks, no removal through a file manager takes "/", the home folder, the current
// directory, a folder protected through that manager or anything that holds one of them.
// Each manager owns one, shared with the managers made from it; it sees the disk through
// the manager that asks.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace korvaster::files {

class FileManager;

class DeletionGuard {
 public:
  // Protects the folder at `path` (by its real path on `disk`) and every folder that holds
  // it. Paths that do not exist are ignored.
  void protect(const std::string& path, const FileManager& disk);

  // Why `path` must not be removed from `disk`, or nothing when it may be. A link is judged as
  // itself, not by what it points to; a path whose last component is "." or ".." is always
  // refused.
  std::optional<std::string> refusal(const std::string& path, const FileManager& disk) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> protected_;
};

}  // namespace korvaster::files
