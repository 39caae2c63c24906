// InMemoryFileManager: a file system in memory (folders, regular files, symbolic links) for
// the workflow tests, which fails chosen calls on demand. It implements what those tests
// reach; the rest throws. Managers made with withCopyFilter share the same files and faults.
// Permission bits are kept but never refuse anything, as for root on a real disk.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_manager.h"

namespace korvaster::testing {

class InMemoryFileManager final : public files::FileManager {
 public:
  // An empty root folder; the home folder is "/" until set.
  InMemoryFileManager();

  // Setting up and looking at the files, for tests. `write`, `makeFolder` and `link` make the
  // folders on the way and replace what is there; they return the path they were given.
  std::string write(const std::string& path, std::string_view contents) const;
  std::string makeFolder(const std::string& path) const;
  std::string link(const std::string& path, const std::string& target) const;
  void setHome(std::optional<std::string> home) const;
  // The bytes of the regular file `path` leads to, or nothing.
  std::optional<std::string> contents(const std::string& path) const;
  // The names in the folder `path` leads to, sorted; none when there is no folder.
  std::vector<std::string> names(const std::string& path) const;
  bool exists(const std::string& path) const { return status(path, false).has_value(); }

  // The `nth` call of `call` (counted from 1) runs `first`, then fails with `error` unless it
  // is 0, as a full disk or a signal arriving during that call would make it; `write` is
  // replaceContents. A later call of that kind succeeds again.
  enum class Call { copy, remove, move, write, lock };
  void fail(Call call, int nth, int error, std::function<void()> first = {}) const;
  int calls(Call call) const;

  std::shared_ptr<FileManager> withCopyFilter(CopyFilter filter) const override;
  std::string currentDirectoryPath() const override { return "/"; }
  std::optional<std::string> homeDirectoryPath() const override;
  std::optional<files::ItemStatus> status(const std::string& path, bool followLinks) const override;
  std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path) const override;
  std::optional<std::string> realPath(const std::string& path) const override;
  bool isSameOrWithin(const std::string& path, const Identity& outer) const override;
  bool canWriteIn(const std::string& path, files::Failure* failure) const override;
  bool canWrite(const std::string& path, files::Failure* failure) const override;
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
  std::shared_ptr<files::OpenedFolder> openFolder(const std::string& path) const override;
  std::optional<files::FileLock> lockItem(const std::string& path, files::FileLock::Target target, bool wait,
                                          const std::function<void()>& onWait) const override;

  struct State;

 private:
  InMemoryFileManager(std::shared_ptr<State> state, CopyFilter filter);

  std::shared_ptr<State> state_;
  CopyFilter copyFilter_;
};

}  // namespace korvaster::testing
