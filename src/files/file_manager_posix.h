// PosixFileManager: FileManager on the real disk, through the POSIX calls. The manager itself
// holds nothing but its copy filter; every call goes to the system.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_manager.h"
#include "support/environment.h"

namespace korvaster::files {

class PosixFileManager final : public FileManager {
 public:
  // HOME and KORVASTER_JOBS come from `environment` (by default the process's own).
  explicit PosixFileManager(CopyFilter filter = nullptr, const support::Environment* environment = nullptr);

  std::shared_ptr<FileManager> withCopyFilter(CopyFilter filter) const override;
  std::string currentDirectoryPath() const override;
  // The value of HOME, or nothing when it is unset or empty.
  std::optional<std::string> homeDirectoryPath() const override;
  std::optional<ItemStatus> status(const std::string& path, bool followLinks) const override;
  std::optional<std::string> realPath(const std::string& path) const override;
  // Keeps no more than two descriptors open at any depth.
  bool isSameOrWithin(const std::string& path, const Identity& outer) const override;
  bool canWriteIn(const std::string& path, Failure* failure) const override;
  bool canWrite(const std::string& path, Failure* failure) const override;
  std::optional<std::string> createUniqueFolder(const std::string& prefix, Failure* failure) const override;
  bool createFile(const std::string& path, std::string_view contents, Failure* failure) const override;
  std::string readContents(const std::string& path, std::size_t maximumSize) const override;
  void writeAtomically(const std::string& path, std::string_view contents, bool mayCreate) const override;
  void appendToFile(const std::string& path, std::string_view contents) const override;
  void replaceLinkWithCopy(const std::string& path, const std::string& from) const override;
  std::shared_ptr<OpenedFolder> openFolder(const std::string& path) const override;
  std::optional<FileLock> lockItem(const std::string& path, FileLock::Target target, bool wait,
                                   const std::function<void()>& onWait) const override;

 private:
  const support::Environment* environment_;
};

}  // namespace korvaster::files
