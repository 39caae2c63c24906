#include "support/byte_budget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace korvaster::support {
namespace {

TEST(ByteBudgetTest, AHoldWaitsUntilItsBytesFitAndOneLargerThanTheBudgetRunsAlone) {
  ByteBudget budget(10);
  std::optional<ByteBudget::Hold> large(std::in_place, budget, 8);
  { const ByteBudget::Hold beside(budget, 2); }  // fits: would hang here if it waited
  std::atomic<bool> started{false};
  std::thread waiter([&] {
    const ByteBudget::Hold hold(budget, 5);
    started = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(started) << "5 bytes went beside 8 in a budget of 10";
  large.reset();
  waiter.join();
  EXPECT_TRUE(started);
  const ByteBudget::Hold alone(budget, 100);
}

}  // namespace
}  // namespace korvaster::support
