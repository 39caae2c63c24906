// FaultInjectingFileManager: wraps any FileManager, the real disk's included, and makes the nth
// call of a kind fail with a chosen errno, or run an action first, as a full disk or a signal
// arriving during that call would; every other call goes through unchanged, so the wrapped
// implementation's own error paths are what a test reaches. The managers made with
// withCopyFilter and the folders opened through it share the same faults and counts.
#pragma once

#include <functional>
#include <memory>

#include "files/file_manager.h"

namespace korvaster::testing {

class FaultInjectingFileManager final : public files::FileManager {
 public:
  // The removals of `inner` and of this wrapper consult one deletion guard: this one's.
  explicit FaultInjectingFileManager(std::shared_ptr<files::FileManager> inner);

  // The `nth` call of `call` (counted from 1) runs `first`, then fails with `error` unless it
  // is 0; a later call of that kind goes through again. `write` is replaceContents through an
  // opened folder; `remove` a whole removal; `copyFile` the copy of one file; `move` a rename.
  // (Single entries and listings fail with the system's calls: fakes/system_call_faults.h.)
  enum class Call { remove, move, write, lock, copyFile };
  void fail(Call call, int nth, int error, std::function<void()> first = {}) const;
  int calls(Call call) const;

  std::shared_ptr<FileManager> withCopyFilter(CopyFilter filter) const override;
  std::string currentDirectoryPath() const override { return inner_->currentDirectoryPath(); }
  std::optional<std::string> homeDirectoryPath() const override { return inner_->homeDirectoryPath(); }
  std::optional<files::ItemStatus> status(const std::string& path, bool followLinks) const override {
    return inner_->status(path, followLinks);
  }
  std::optional<std::string> realPath(const std::string& path) const override { return inner_->realPath(path); }
  bool isSameOrWithin(const std::string& path, const Identity& outer) const override {
    return inner_->isSameOrWithin(path, outer);
  }
  bool canWriteIn(const std::string& path, files::Failure* failure) const override {
    return inner_->canWriteIn(path, failure);
  }
  bool canWrite(const std::string& path, files::Failure* failure) const override {
    return inner_->canWrite(path, failure);
  }
  std::optional<std::string> createUniqueFolder(const std::string& prefix, files::Failure* failure) const override {
    return inner_->createUniqueFolder(prefix, failure);
  }
  bool createFile(const std::string& path, std::string_view contents, files::Failure* failure) const override {
    return inner_->createFile(path, contents, failure);
  }
  bool removeItem(const std::string& path, files::Failure* failure) const override;
  std::string readContents(const std::string& path, std::size_t maximumSize) const override {
    return inner_->readContents(path, maximumSize);
  }
  void writeAtomically(const std::string& path, std::string_view contents, bool mayCreate) const override {
    inner_->writeAtomically(path, contents, mayCreate);
  }
  void appendToFile(const std::string& path, std::string_view contents) const override {
    inner_->appendToFile(path, contents);
  }
  void replaceLinkWithCopy(const std::string& path, const std::string& from) const override {
    inner_->replaceLinkWithCopy(path, from);
  }
  std::shared_ptr<files::OpenedFolder> openFolder(const std::string& path) const override;
  std::optional<files::FileLock> lockItem(const std::string& path, files::FileLock::Target target, bool wait,
                                          const std::function<void()>& onWait) const override;

  struct Faults;

 private:
  FaultInjectingFileManager(std::shared_ptr<files::FileManager> inner, std::shared_ptr<Faults> faults);

  std::shared_ptr<files::FileManager> inner_;
  std::shared_ptr<Faults> faults_;
};

}  // namespace korvaster::testing
