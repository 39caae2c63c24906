#include "support/ordered_batch.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

#include "support/byte_budget.h"
#include "support/worker_pool.h"

namespace korvaster::support {

namespace {

// One batch: tasks take their holds on the budget in order, produce side by side, and are
// delivered in order by whichever thread finds the next one ready.
class OrderedBatch {
 public:
  OrderedBatch(const std::vector<std::uintmax_t>& taskBytes, const std::function<void(std::size_t)>& produce,
               const std::function<void(std::size_t)>& deliver)
      : taskBytes_(taskBytes),
        produce_(produce),
        deliver_(deliver),
        // A sixteenth more lets small tasks go on beside the largest one, which would otherwise
        // leave the other threads idle while it is done.
        budget_(largest(taskBytes) + largest(taskBytes) / 16),
        holds_(taskBytes.size()),
        produced_(taskBytes.size(), false) {}

  void run(std::size_t index) {
    auto hold = holdInTurn(index);
    std::exception_ptr produceFailure;
    if (!failed()) {
      try {
        produce_(index);
      } catch (...) {
        produceFailure = std::current_exception();
      }
    }
    std::unique_lock<std::mutex> lock(deliveryMutex_);
    if (produceFailure && !failure_) failure_ = produceFailure;
    holds_[index] = std::move(hold);
    produced_[index] = true;
    if (delivering_) return;
    delivering_ = true;
    deliverReady(lock);
    delivering_ = false;
  }

  bool failed() {
    const std::lock_guard<std::mutex> lock(deliveryMutex_);
    return failure_ != nullptr;
  }
  void rethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  static std::uintmax_t largest(const std::vector<std::uintmax_t>& bytes) {
    return bytes.empty() ? 0 : *std::max_element(bytes.begin(), bytes.end());
  }

  // Holds are taken in the tasks' order. A task's hold lasts until it is delivered, so a task
  // waiting for room waits only for tasks before it, which already hold theirs and need no
  // more: the first undelivered one always runs, and delivering it frees room.
  std::unique_ptr<ByteBudget::Hold> holdInTurn(std::size_t index) {
    {
      std::unique_lock<std::mutex> lock(turnMutex_);
      turnChanged_.wait(lock, [&] { return turn_ == index; });
    }
    auto hold = std::make_unique<ByteBudget::Hold>(budget_, taskBytes_[index]);
    {
      const std::lock_guard<std::mutex> lock(turnMutex_);
      ++turn_;
    }
    turnChanged_.notify_all();
    return hold;
  }

  // Delivers every produced task next in line, outside the lock; the other threads leave
  // their results to this one meanwhile.
  void deliverReady(std::unique_lock<std::mutex>& lock) {
    while (delivered_ < produced_.size() && produced_[delivered_]) {
      const std::size_t next = delivered_;
      std::unique_ptr<ByteBudget::Hold> done = std::move(holds_[next]);
      const bool deliverIt = failure_ == nullptr;
      lock.unlock();
      std::exception_ptr deliverFailure;
      if (deliverIt) {
        try {
          deliver_(next);
        } catch (...) {
          deliverFailure = std::current_exception();
        }
      }
      done.reset();
      lock.lock();
      if (deliverFailure && !failure_) failure_ = deliverFailure;
      ++delivered_;
    }
  }

  const std::vector<std::uintmax_t>& taskBytes_;
  const std::function<void(std::size_t)>& produce_;
  const std::function<void(std::size_t)>& deliver_;
  ByteBudget budget_;
  std::mutex turnMutex_;
  std::condition_variable turnChanged_;
  std::size_t turn_ = 0;  // the next task to take its hold
  // Guarded by `deliveryMutex_`.
  std::mutex deliveryMutex_;
  std::vector<std::unique_ptr<ByteBudget::Hold>> holds_;
  std::vector<bool> produced_;
  std::size_t delivered_ = 0;
  bool delivering_ = false;
  std::exception_ptr failure_;
};

}  // namespace

void runInOrderWithinBudget(const std::vector<std::uintmax_t>& taskBytes, std::size_t workers,
                            const std::function<void(std::size_t)>& produce,
                            const std::function<void(std::size_t)>& deliver,
                            const std::function<bool()>& stop) {
  OrderedBatch batch(taskBytes, produce, deliver);
  runOnWorkers(
      taskBytes.size(), workers, [&](std::size_t index) { batch.run(index); }, [](std::size_t) {},
      [&] { return batch.failed() || stop(); });
  batch.rethrowFailure();
}

}  // namespace korvaster::support
