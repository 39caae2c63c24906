#include "support/ordered_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace korvaster::support {
namespace {

void sleepMilliseconds(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Early tasks take longest, so later ones finish first; they are still handed on in order,
// each after its own task, one at a time.
TEST(OrderedBatchTest, ResultsAreDeliveredInTheTasksOrderWhateverOrderTheyFinishIn) {
  constexpr std::size_t kTasks = 12;
  std::vector<int> results(kTasks, -1);
  std::vector<std::size_t> delivered;
  std::atomic<int> delivering{0};
  std::atomic<bool> overlapped{false};
  runInOrderWithinBudget(
      std::vector<std::uintmax_t>(kTasks, 0), 3,  // nothing held: all may run at once
      [&](std::size_t index) {
        sleepMilliseconds(static_cast<int>(kTasks - index));
        results[index] = static_cast<int>(index) * 10;
      },
      [&](std::size_t index) {
        if (++delivering > 1) overlapped = true;
        EXPECT_EQ(results[index], static_cast<int>(index) * 10) << "delivered before it was produced";
        delivered.push_back(index);
        sleepMilliseconds(1);
        --delivering;
      },
      [] { return false; });
  std::vector<std::size_t> expected(kTasks);
  for (std::size_t index = 0; index < kTasks; ++index) expected[index] = index;
  EXPECT_EQ(delivered, expected);
  EXPECT_FALSE(overlapped) << "two deliveries ran at once";
}

// A result waiting for an earlier one keeps its bytes held: while a large task runs, the small
// ones after it may fill the budget's spare sixteenth, and no more.
TEST(OrderedBatchTest, BytesStayHeldUntilDeliveredSoWaitingResultsNeverExceedTheBudget) {
  std::vector<std::uintmax_t> bytes(20, 10);
  bytes[0] = 160;  // the budget is 170: beside it, room for one small task
  std::mutex mutex;
  std::uintmax_t held = 0, mostHeld = 0;
  bool largeRunning = false;
  std::size_t besideLarge = 0;
  std::condition_variable smallDone;
  runInOrderWithinBudget(
      bytes, 2,
      [&](std::size_t index) {
        {
          const std::lock_guard<std::mutex> lock(mutex);
          held += bytes[index];
          mostHeld = std::max(mostHeld, held);
          largeRunning = largeRunning || index == 0;
        }
        std::unique_lock<std::mutex> lock(mutex);
        // The large task lasts until a small one has run beside it, however loaded the machine
        // is, and then long enough for a second one to have had the chance.
        if (index == 0) {
          smallDone.wait_for(lock, std::chrono::seconds(10), [&] { return besideLarge > 0; });
          smallDone.wait_for(lock, std::chrono::milliseconds(100), [&] { return besideLarge > 1; });
        }
        if (index == 0) largeRunning = false;
        besideLarge += largeRunning;
        smallDone.notify_all();
      },
      [&](std::size_t index) {
        const std::lock_guard<std::mutex> lock(mutex);
        held -= bytes[index];
      },
      [] { return false; });
  EXPECT_EQ(mostHeld, 170u);
  EXPECT_EQ(besideLarge, 1u) << "small tasks beside the large one";
}

// A failing task stops the batch: what came before it is delivered, it and what follows are
// not, and the caller gets the failure.
TEST(OrderedBatchTest, AFailureStopsTheBatchAndReachesTheCaller) {
  for (const bool inDelivery : {false, true}) {
    std::vector<std::size_t> delivered;
    std::atomic<std::size_t> started{0};
    EXPECT_THROW(runInOrderWithinBudget(
                     std::vector<std::uintmax_t>(50, 1), 2,
                     [&](std::size_t index) {
                       ++started;
                       if (!inDelivery && index == 3) throw std::runtime_error("task");
                       sleepMilliseconds(1);
                     },
                     [&](std::size_t index) {
                       if (inDelivery && index == 3) throw std::runtime_error("delivery");
                       delivered.push_back(index);
                     },
                     [] { return false; }),
                 std::runtime_error);
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2})) << inDelivery;
    EXPECT_LT(started.load(), 10u) << inDelivery;
  }
}

}  // namespace
}  // namespace korvaster::support
