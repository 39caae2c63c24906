#include "fakes/fault_injecting_file_manager.h"

#include <cstring>
#include <map>
#include <mutex>

#include "files/file_io_error.h"
#include "files/path_text.h"

namespace korvaster::testing {

using files::FileIOError;
using Call = FaultInjectingFileManager::Call;

// The faults planned and the calls counted, which a wrapper shares with the managers made from it
// and the folders opened through it.
struct FaultInjectingFileManager::Faults {
  struct Fault {
    int nth, error;
    std::function<void()> first;
  };
  std::mutex mutex;
  std::map<Call, Fault> planned;
  std::map<Call, int> counts;

  // Counts a call of `call`; when it is the planned one, runs its action (unlocked, so that the
  // action may use the disk) and returns its error. 0 when the call is to go through.
  int next(Call call) {
    Fault fault{0, 0, {}};
    {
      const std::lock_guard<std::mutex> hold(mutex);
      const auto found = planned.find(call);
      if (++counts[call] == (found != planned.end() ? found->second.nth : 0)) fault = found->second;
    }
    if (fault.first) fault.first();
    return fault.error;
  }
};

namespace {

class FaultInjectingFolder final : public files::OpenedFolder {
 public:
  FaultInjectingFolder(std::shared_ptr<OpenedFolder> inner, std::shared_ptr<FaultInjectingFileManager::Faults> faults)
      : inner_(std::move(inner)), faults_(std::move(faults)) {}
  files::ItemIdentity identity() const override { return inner_->identity(); }
  const std::string& shownPath() const override { return inner_->shownPath(); }
  int openChild(std::string_view name, std::shared_ptr<OpenedFolder>& child) const override {
    std::shared_ptr<OpenedFolder> opened;
    const int error = inner_->openChild(name, opened);
    if (error == 0) child = std::make_shared<FaultInjectingFolder>(std::move(opened), faults_);
    return error;
  }
  int list(std::vector<std::string>& names) const override { return inner_->list(names); }
  int statusOf(std::string_view name, files::ItemStatus& status) const override {
    return inner_->statusOf(name, status);
  }
  int removeEntry(std::string_view name, bool folder) const override { return inner_->removeEntry(name, folder); }
  int setMode(std::string_view name, unsigned mode) const override { return inner_->setMode(name, mode); }
  int makeFolder(std::string_view name, unsigned mode) const override { return inner_->makeFolder(name, mode); }
  int makeLink(std::string_view name, const std::string& target) const override {
    return inner_->makeLink(name, target);
  }
  int readLink(std::string_view name, std::string& target) const override { return inner_->readLink(name, target); }
  int moveEntry(std::string_view name, const OpenedFolder& destination, std::string_view toName) const override {
    if (const int error = faults_->next(Call::move)) return error;
    return inner_->moveEntry(name, unwrapped(destination), toName);
  }
  int copyFile(std::string_view name, const OpenedFolder& destination, unsigned mode,
               bool& sourceFailed) const override {
    sourceFailed = false;
    if (const int error = faults_->next(Call::copyFile)) return error;
    return inner_->copyFile(name, unwrapped(destination), mode, sourceFailed);
  }
  std::string readContents(std::string_view name, std::size_t maximumSize) const override {
    return inner_->readContents(name, maximumSize);
  }
  std::unique_ptr<files::ContentsReplacement> replaceContents(std::string_view name, files::ContentsReplacement::Mode mode,
                                                              std::string_view original) const override {
    if (const int error = faults_->next(Call::write)) {
      throw FileIOError(FileIOError::Case::writeFailed, files::joinedPath(shownPath(), std::string(name)), error);
    }
    return inner_->replaceContents(name, mode, original);
  }
  int removeAbandonedTemporaries() const override { return inner_->removeAbandonedTemporaries(); }

 private:
  // The folder of the wrapped file system, which its primitives take.
  static const OpenedFolder& unwrapped(const OpenedFolder& folder) {
    const auto* wrapper = dynamic_cast<const FaultInjectingFolder*>(&folder);
    return wrapper != nullptr ? *wrapper->inner_ : folder;
  }

  std::shared_ptr<OpenedFolder> inner_;
  std::shared_ptr<FaultInjectingFileManager::Faults> faults_;
};

}  // namespace

FaultInjectingFileManager::FaultInjectingFileManager(std::shared_ptr<files::FileManager> inner)
    : FaultInjectingFileManager(std::move(inner), std::make_shared<Faults>()) {
  sharingGuard(inner_);
}

FaultInjectingFileManager::FaultInjectingFileManager(std::shared_ptr<files::FileManager> inner,
                                                     std::shared_ptr<Faults> faults)
    : inner_(std::move(inner)), faults_(std::move(faults)) {
  copyingAs(*inner_);
}

void FaultInjectingFileManager::fail(Call call, int nth, int error, std::function<void()> first) const {
  const std::lock_guard<std::mutex> hold(faults_->mutex);
  faults_->planned[call] = {nth, error, std::move(first)};
}

int FaultInjectingFileManager::calls(Call call) const {
  const std::lock_guard<std::mutex> hold(faults_->mutex);
  return faults_->counts[call];
}

// The filtered inner manager already shares the inner one's guard, which is this one's.
std::shared_ptr<files::FileManager> FaultInjectingFileManager::withCopyFilter(CopyFilter filter) const {
  return sharingGuard(std::shared_ptr<FaultInjectingFileManager>(
      new FaultInjectingFileManager(inner_->withCopyFilter(std::move(filter)), faults_)));
}

bool FaultInjectingFileManager::removeItem(const std::string& path, files::Failure* failure) const {
  const int error = faults_->next(Call::remove);
  if (error == 0) return FileManager::removeItem(path, failure);
  if (failure != nullptr && failure->reason.empty()) *failure = files::Failure{path, std::strerror(error)};
  return false;
}

std::shared_ptr<files::OpenedFolder> FaultInjectingFileManager::openFolder(const std::string& path) const {
  return std::make_shared<FaultInjectingFolder>(inner_->openFolder(path), faults_);
}

std::optional<files::FileLock> FaultInjectingFileManager::lockItem(const std::string& path,
                                                                   files::FileLock::Target target, bool wait,
                                                                   const std::function<void()>& onWait) const {
  if (const int error = faults_->next(Call::lock)) throw FileIOError(FileIOError::Case::lockFailed, path, error);
  return inner_->lockItem(path, target, wait, onWait);
}

}  // namespace korvaster::testing
