// InMemoryFileManager: a whole file system in memory (folders, regular files with bytes and
// permission bits, symbolic links), so that workflow tests need no temporary folder. Managers
// made with withCopyFilter share the same files. Locks are flags of this process; permission
// bits are kept and reported but never refuse anything, as for root on a real disk.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_manager.h"

namespace korvaster::testing {

class InMemoryFileManager final : public files::FileManager {
 public:
  // An empty root folder; the home folder and the current directory are "/" until set.
  InMemoryFileManager();

  // Setting up and looking at the files, for tests. `write` and `makeFolder` make the folders
  // on the way; `write` replaces what is there. All return the path they were given.
  std::string write(const std::string& path, std::string_view contents, unsigned mode = 0644) const;
  std::string makeFolder(const std::string& path, unsigned mode = 0755) const;
  std::string link(const std::string& path, const std::string& target) const;
  void setHome(std::optional<std::string> home) const;
  // The bytes of the regular file `path` leads to, or nothing.
  std::optional<std::string> contents(const std::string& path) const;
  // The names in the folder `path` leads to, sorted; none when there is no folder.
  std::vector<std::string> names(const std::string& path) const;
  bool exists(const std::string& path) const { return status(path, false).has_value(); }

  std::shared_ptr<FileManager> withCopyFilter(CopyFilter filter) const override;
  std::string currentDirectoryPath() const override;
  std::optional<std::string> homeDirectoryPath() const override;
  std::optional<files::ItemStatus> status(const std::string& path, bool followLinks) const override;
  std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path) const override;
  std::optional<std::string> realPath(const std::string& path) const override;
  bool isSameOrWithin(const std::string& path, const Identity& outer) const override;
  bool canWriteIn(const std::string& path, files::Failure* failure) const override;
  bool createDirectory(const std::string& path, files::Failure* failure) const override;
  std::optional<std::string> createUniqueFolder(const std::string& prefix, files::Failure* failure) const override;
  bool createFile(const std::string& path, std::string_view contents, files::Failure* failure) const override;
  bool copyItem(const std::string& source, const std::string& destination, CopyRecord* record,
                files::Failure* failure) const override;
  bool applyFolderModes(const std::string& root, const FolderModes& modes) const override;
  bool removeItem(const std::string& path, files::Failure* failure) const override;
  bool moveItem(const std::string& source, const std::string& destination, files::Failure* failure) const override;
  std::string readContents(const std::string& path, std::size_t maximumSize) const override;
  void writeAtomically(const std::string& path, std::string_view contents, bool mayCreate) const override;
  std::unique_ptr<files::ContentsReplacement> replaceContents(const std::string& path,
                                                              files::ContentsReplacement::Mode mode,
                                                              std::string_view original) const override;
  void replaceLinkWithCopy(const std::string& path, const std::string& from) const override;
  int removeAbandonedTemporaries(const std::string& folder) const override;
  std::optional<files::FileLock> lockItem(const std::string& path, files::FileLock::Target target, bool wait,
                                          const std::function<void()>& onWait) const override;

  struct State;
  struct Node;

 private:
  InMemoryFileManager(std::shared_ptr<State> state, CopyFilter filter);

  std::shared_ptr<State> state_;
  CopyFilter copyFilter_;
};

}  // namespace korvaster::testing
