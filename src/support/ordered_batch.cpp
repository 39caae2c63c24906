#include "support/ordered_batch.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

#include "support/byte_budget.h"
#include "support/worker_pool.h"

namespace korvaster::support {

void runInOrderWithinBudget(const std::vector<std::uintmax_t>& taskBytes, std::size_t workers,
                            const std::function<void(std::size_t)>& produce,
                            const std::function<void(std::size_t)>& deliver,
                            const std::function<bool()>& stop) {
  const std::size_t count = taskBytes.size();
  const std::uintmax_t largest = count == 0 ? 0 : *std::max_element(taskBytes.begin(), taskBytes.end());
  // A sixteenth more lets small tasks go on beside the largest one, which would otherwise
  // leave the other threads idle while it is done.
  ByteBudget budget(largest + largest / 16);
  // Holds are taken in the tasks' order. A task's hold lasts until it is delivered, so a task
  // waiting for room waits only for tasks before it, which already hold theirs and need no more:
  // the first undelivered one always runs, and delivering it frees room.
  std::mutex turnMutex;
  std::condition_variable turnChanged;
  std::size_t turn = 0;  // the next task to take its hold

  // Guarded by `deliveryMutex`.
  std::mutex deliveryMutex;
  std::vector<std::unique_ptr<ByteBudget::Hold>> holds(count);
  std::vector<bool> produced(count, false);
  std::size_t delivered = 0;
  bool delivering = false;  // a thread is delivering; the others leave it their results
  std::exception_ptr failure;

  auto failed = [&] {
    const std::lock_guard<std::mutex> lock(deliveryMutex);
    return failure != nullptr;
  };
  auto task = [&](std::size_t index) {
    {
      std::unique_lock<std::mutex> lock(turnMutex);
      turnChanged.wait(lock, [&] { return turn == index; });
    }
    auto hold = std::make_unique<ByteBudget::Hold>(budget, taskBytes[index]);
    {
      const std::lock_guard<std::mutex> lock(turnMutex);
      ++turn;
    }
    turnChanged.notify_all();
    std::exception_ptr produceFailure;
    if (!failed()) {
      try {
        produce(index);
      } catch (...) {
        produceFailure = std::current_exception();
      }
    }
    std::unique_lock<std::mutex> lock(deliveryMutex);
    if (produceFailure && !failure) failure = produceFailure;
    holds[index] = std::move(hold);
    produced[index] = true;
    if (delivering) return;
    delivering = true;
    while (delivered < count && produced[delivered]) {
      const std::size_t next = delivered;
      std::unique_ptr<ByteBudget::Hold> done = std::move(holds[next]);
      const bool deliverIt = failure == nullptr;
      lock.unlock();
      std::exception_ptr deliverFailure;
      if (deliverIt) {
        try {
          deliver(next);
        } catch (...) {
          deliverFailure = std::current_exception();
        }
      }
      done.reset();
      lock.lock();
      if (deliverFailure && !failure) failure = deliverFailure;
      ++delivered;
    }
    delivering = false;
  };
  runOnWorkers(
      count, workers, task, [](std::size_t) {}, [&] { return failed() || stop(); });
  if (failure) std::rethrow_exception(failure);
}

}  // namespace korvaster::support
