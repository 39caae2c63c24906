// A file system that fails chosen calls of another one (the real disk or one in memory): the
// Nth call of one kind fails with a chosen errno, as a full disk or a vanished file would make
// it fail, or runs an action first, as a signal arriving during that call would.
#pragma once

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "files/file_io_error.h"
#include "files/file_manager.h"

namespace korvaster::testing {

class FaultInjectingFileManager final : public files::FileManager {
 public:
  enum class Call { copy, remove, move, write, lock };

  explicit FaultInjectingFileManager(std::shared_ptr<files::FileManager> inner = defaultManager())
      : inner_(std::move(inner)), plan_(std::make_shared<Plan>()) {}

  // The `nth` call of `call` (counted from 1 across this manager and the ones made from it
  // with withCopyFilter) runs `first`, then fails with `error` unless it is 0; a later call of
  // that kind succeeds again.
  void fail(Call call, int nth, int error, std::function<void()> first = {}) {
    plan_->faults[call] = {nth, error, std::move(first)};
  }
  int calls(Call call) const { return plan_->counts[call]; }

  std::shared_ptr<FileManager> withCopyFilter(CopyFilter filter) const override {
    auto manager = std::make_shared<FaultInjectingFileManager>(inner_->withCopyFilter(std::move(filter)));
    manager->plan_ = plan_;
    return manager;
  }
  bool copyItem(const std::string& source, const std::string& destination, CopyRecord* record,
                files::Failure* failure) const override {
    if (const int error = fault(Call::copy)) return failed(failure, destination, error);
    return inner_->copyItem(source, destination, record, failure);
  }
  bool removeItem(const std::string& path, files::Failure* failure) const override {
    if (const int error = fault(Call::remove)) return failed(failure, path, error);
    return inner_->removeItem(path, failure);
  }
  bool moveItem(const std::string& source, const std::string& destination, files::Failure* failure) const override {
    if (const int error = fault(Call::move)) return failed(failure, source, error);
    return inner_->moveItem(source, destination, failure);
  }
  std::optional<files::FileLock> lockItem(const std::string& path, files::FileLock::Target target, bool wait,
                                          const std::function<void()>& onWait) const override {
    if (const int error = fault(Call::lock)) throw files::FileIOError(files::FileIOError::Case::lockFailed, path, error);
    return inner_->lockItem(path, target, wait, onWait);
  }
  std::unique_ptr<files::ContentsReplacement> replaceContents(const std::string& path,
                                                              files::ContentsReplacement::Mode mode,
                                                              std::string_view original) const override {
    if (const int error = fault(Call::write)) throw files::FileIOError(files::FileIOError::Case::writeFailed, path, error);
    return inner_->replaceContents(path, mode, original);
  }

  // Everything else goes straight through.
  std::string currentDirectoryPath() const override { return inner_->currentDirectoryPath(); }
  std::optional<std::string> homeDirectoryPath() const override { return inner_->homeDirectoryPath(); }
  std::optional<files::ItemStatus> status(const std::string& path, bool followLinks) const override {
    return inner_->status(path, followLinks);
  }
  std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path) const override {
    return inner_->contentsOfDirectory(path);
  }
  std::optional<std::string> realPath(const std::string& path) const override { return inner_->realPath(path); }
  bool isSameOrWithin(const std::string& path, const Identity& outer) const override {
    return inner_->isSameOrWithin(path, outer);
  }
  bool canWriteIn(const std::string& path, files::Failure* failure) const override {
    return inner_->canWriteIn(path, failure);
  }
  bool createDirectory(const std::string& path, files::Failure* failure) const override {
    return inner_->createDirectory(path, failure);
  }
  std::optional<std::string> createUniqueFolder(const std::string& prefix, files::Failure* failure) const override {
    return inner_->createUniqueFolder(prefix, failure);
  }
  bool createFile(const std::string& path, std::string_view contents, files::Failure* failure) const override {
    return inner_->createFile(path, contents, failure);
  }
  bool applyFolderModes(const std::string& root, const FolderModes& modes) const override {
    return inner_->applyFolderModes(root, modes);
  }
  std::string readContents(const std::string& path, std::size_t maximumSize) const override {
    return inner_->readContents(path, maximumSize);
  }
  void writeAtomically(const std::string& path, std::string_view contents, bool mayCreate) const override {
    inner_->writeAtomically(path, contents, mayCreate);
  }
  void replaceLinkWithCopy(const std::string& path, const std::string& from) const override {
    inner_->replaceLinkWithCopy(path, from);
  }
  int removeAbandonedTemporaries(const std::string& folder) const override {
    return inner_->removeAbandonedTemporaries(folder);
  }

 private:
  struct Fault {
    int nth, error;
    std::function<void()> first;
  };
  struct Plan {
    std::map<Call, Fault> faults;
    std::map<Call, int> counts;
    std::mutex mutex;  // the identifier pass writes from several threads
  };

  int fault(Call call) const {
    const std::lock_guard<std::mutex> hold(plan_->mutex);
    const int number = ++plan_->counts[call];
    const auto found = plan_->faults.find(call);
    if (found == plan_->faults.end() || found->second.nth != number) return 0;
    if (found->second.first) found->second.first();
    return found->second.error;
  }
  static bool failed(files::Failure* failure, const std::string& path, int error) {
    if (failure != nullptr) *failure = files::Failure{path, std::strerror(error)};
    errno = error;
    return false;
  }

  std::shared_ptr<files::FileManager> inner_;
  std::shared_ptr<Plan> plan_;
};

}  // namespace korvaster::testing
