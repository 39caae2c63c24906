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

// What the threads share; every field is guarded by `mutex`.
struct Batch {
  std::mutex mutex;
  std::condition_variable finished;
  std::size_t next = 0;
  std::deque<std::size_t> reported;  // finished tasks the calling thread has not yet heard of
  std::size_t helpersRunning = 0;
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
  Batch batch;
  // Takes the next task under the lock, or says there is none.
  auto take = [&](std::size_t& index) {
    if (batch.next == taskCount || stop()) return false;
    index = batch.next++;
    return true;
  };
  // Runs a taken task outside the lock and queues it for `done`; holds the lock again after.
  auto runTaken = [&](std::unique_lock<std::mutex>& lock, std::size_t index) {
    lock.unlock();
    task(index);
    lock.lock();
    batch.reported.push_back(index);
  };
  auto helper = [&] {
    std::unique_lock<std::mutex> lock(batch.mutex);
    std::size_t index = 0;
    while (take(index)) {
      runTaken(lock, index);
      batch.finished.notify_one();
    }
    --batch.helpersRunning;
    batch.finished.notify_one();
  };
  const std::size_t helperCount = std::min(workers, taskCount) - 1;
  std::vector<std::thread> helpers;
  batch.helpersRunning = helperCount;
  for (std::size_t i = 0; i < helperCount; ++i) {
    try {
      helpers.emplace_back(helper);
    } catch (const std::system_error&) {
      // A refused thread (a process or memory limit) only means less overlap: the threads
      // that started, the calling one at least, take its share.
      const std::lock_guard<std::mutex> lock(batch.mutex);
      batch.helpersRunning -= helperCount - i;
      break;
    }
  }

  std::unique_lock<std::mutex> lock(batch.mutex);
  auto reportFinished = [&] {
    while (!batch.reported.empty()) {
      const std::size_t index = batch.reported.front();
      batch.reported.pop_front();
      lock.unlock();
      done(index);
      lock.lock();
    }
  };
  std::size_t index = 0;
  while (take(index)) {
    runTaken(lock, index);
    reportFinished();
  }
  while (true) {
    reportFinished();
    if (batch.helpersRunning == 0) break;
    batch.finished.wait(lock, [&] { return !batch.reported.empty() || batch.helpersRunning == 0; });
  }
  lock.unlock();
  for (auto& thread : helpers) thread.join();
}

}  // namespace korvaster::support
