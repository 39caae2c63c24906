#include "files/file_copy_queue.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster::files {

namespace {
// Enough to keep a helper busy while the walker makes a folder, small enough not to matter.
constexpr std::size_t kQueueLength = 256;
}  // namespace

FileCopyQueue::FileCopyQueue(std::size_t helpers) {
  try {
    for (std::size_t i = 0; i < helpers; ++i) helpers_.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // Fewer helpers only means less overlap: the walker copies what none takes.
  }
}

FileCopyQueue::~FileCopyQueue() { stopHelpers(); }

void FileCopyQueue::stopHelpers() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    tasks_.clear();
  }
  wake_.notify_all();
  for (auto& helper : helpers_) helper.join();
  helpers_.clear();
}

void FileCopyQueue::run(const Task& task) {
  bool sourceFailed = true;
  const int error = support::pendingInterruption() != 0
                        ? EINTR
                        : task.from->copyFile(task.name, *task.to, task.mode, sourceFailed);
  if (error == 0) return;
  // The file that failed first may leave a file that is only half there; the caller
  // removes the whole copy. An unreadable file is named where the user can find it, not
  // in the copy that is removed.
  const std::string path = joinedPath((sourceFailed ? task.from : task.to)->shownPath(), task.name);
  const std::lock_guard<std::mutex> lock(mutex_);
  if (failure_ && failure_->first < task.number) return;
  failure_.emplace(task.number, Failure{path, std::strerror(error)});
  // Later files no longer matter, but an earlier queued one that fails too must be the one
  // reported, whichever thread met its failure first: those still run.
  while (!tasks_.empty() && tasks_.back().number > task.number) tasks_.pop_back();
}

bool FileCopyQueue::add(std::shared_ptr<const OpenedFolder> from, std::string name,
                        std::shared_ptr<const OpenedFolder> to, unsigned mode) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (failure_ || support::pendingInterruption() != 0) return false;
  Task task{added_++, std::move(from), std::move(name), std::move(to), mode};
  if (helpers_.empty() || tasks_.size() >= kQueueLength) {
    lock.unlock();
    run(task);
    lock.lock();
    return !failure_;
  }
  tasks_.push_back(std::move(task));
  wake_.notify_one();
  return true;
}

void FileCopyQueue::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
    if (stopping_) return;
    const Task task = std::move(tasks_.front());
    tasks_.pop_front();
    ++running_;
    lock.unlock();
    run(task);
    lock.lock();
    --running_;
    idle_.notify_all();
  }
}

std::optional<Failure> FileCopyQueue::finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  // The walker lends a hand with what is left rather than wait for it. After a failure only
  // earlier files are left: one of them may have failed first in walk order.
  while (!tasks_.empty()) {
    const Task task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    run(task);
    lock.lock();
  }
  idle_.wait(lock, [this] { return running_ == 0; });
  if (!failure_) return std::nullopt;
  return failure_->second;
}

}  // namespace korvaster::files
