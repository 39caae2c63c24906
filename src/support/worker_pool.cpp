#include "support/worker_pool.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace korvaster::support {

namespace {

// One batch run on several threads. Every field below `mutex` is guarded by it.
class Batch {
 public:
  Batch(std::size_t taskCount, const std::function<void(std::size_t)>& task,
        const std::function<void(std::size_t)>& done, const std::function<bool()>& stop)
      : taskCount_(taskCount), task_(task), done_(done), stop_(stop) {}

  // Starts up to `count` helper threads; a refused thread (a process or memory limit) only
  // means less overlap: the threads that started, the calling one at least, take its share.
  void startHelpers(std::size_t count) {
    helpersRunning_ = count;
    for (std::size_t i = 0; i < count; ++i) {
      try {
        helpers_.emplace_back([this] { helpOut(); });
      } catch (const std::system_error&) {
        const std::lock_guard<std::mutex> lock(mutex_);
        helpersRunning_ -= count - i;
        break;
      }
    }
  }

  // The calling thread's share: tasks of its own, reporting every finished task as it goes,
  // then waiting for the helpers' last tasks to be reported.
  void runAndReport() {
    std::unique_lock<std::mutex> lock(mutex_);
    std::size_t index = 0;
    while (take(index)) {
      runTaken(lock, index);
      reportFinished(lock);
    }
    while (true) {
      reportFinished(lock);
      if (helpersRunning_ == 0) break;
      finished_.wait(lock, [&] { return !reported_.empty() || helpersRunning_ == 0; });
    }
    lock.unlock();
    for (auto& thread : helpers_) thread.join();
  }

 private:
  void helpOut() {
    std::unique_lock<std::mutex> lock(mutex_);
    std::size_t index = 0;
    while (take(index)) {
      runTaken(lock, index);
      finished_.notify_one();
    }
    --helpersRunning_;
    finished_.notify_one();
  }

  // Takes the next task under the lock, or says there is none.
  bool take(std::size_t& index) {
    if (next_ == taskCount_ || stop_()) return false;
    index = next_++;
    return true;
  }

  // Runs a taken task outside the lock and queues it for `done`; holds the lock again after.
  void runTaken(std::unique_lock<std::mutex>& lock, std::size_t index) {
    lock.unlock();
    task_(index);
    lock.lock();
    reported_.push_back(index);
  }

  void reportFinished(std::unique_lock<std::mutex>& lock) {
    while (!reported_.empty()) {
      const std::size_t index = reported_.front();
      reported_.pop_front();
      lock.unlock();
      done_(index);
      lock.lock();
    }
  }

  const std::size_t taskCount_;
  const std::function<void(std::size_t)>& task_;
  const std::function<void(std::size_t)>& done_;
  const std::function<bool()>& stop_;
  std::vector<std::thread> helpers_;
  std::mutex mutex_;
  std::condition_variable finished_;
  std::size_t next_ = 0;
  std::deque<std::size_t> reported_;  // finished tasks the calling thread has not yet heard of
  std::size_t helpersRunning_ = 0;
};

}  // namespace

std::size_t workerCount(const Environment& environment) {
  std::size_t count = std::max(1u, std::thread::hardware_concurrency());
  if (const auto cap = environment.variable("KORVASTER_JOBS")) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(cap->c_str(), &end, 10);
    if (end != cap->c_str() && *end == '\0' && value > 0) count = std::min<std::size_t>(count, value);
  }
  return count;
}

void runOnWorkers(std::size_t taskCount, std::size_t workers, const std::function<void(std::size_t)>& task,
                  const std::function<void(std::size_t)>& done, const std::function<bool()>& stop) {
  if (workers <= 1 || taskCount <= 1) {
    for (std::size_t index = 0; index < taskCount && !stop(); ++index) {
      task(index);
      done(index);
    }
    return;
  }
  Batch batch(taskCount, task, done, stop);
  batch.startHelpers(std::min(workers, taskCount) - 1);
  batch.runAndReport();
}

}  // namespace korvaster::support
