#include "support/worker_pool.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace korvaster::support {
namespace {

TEST(WorkerPoolTest, KorvasterJobsCapsTheWorkersWhenItIsAPositiveNumber) {
  struct Jobs final : Environment {
    std::optional<std::string> value;
    std::optional<std::string> variable(const std::string& name) const override {
      return name == "KORVASTER_JOBS" ? value : std::nullopt;
    }
  } jobs;
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  for (const char* ignored : {"", "0", "-1", "2x", "x"}) {
    jobs.value = ignored;
    EXPECT_EQ(workerCount(jobs), cores) << ignored;
  }
  jobs.value = std::nullopt;
  EXPECT_EQ(workerCount(jobs), cores);
  jobs.value = "1";
  EXPECT_EQ(workerCount(jobs), 1u);
  jobs.value = "100000";
  EXPECT_EQ(workerCount(jobs), cores);
}

// Threads can be refused (a process or memory limit): the batch is then done by fewer
// threads, down to the calling one alone, rather than failing the run.
TEST(WorkerPoolTest, WhenNoThreadCanBeStartedTheCallingThreadRunsTheWholeBatch) {
  pthread_attr_t defaults, unaffordable;
  ASSERT_EQ(pthread_getattr_default_np(&defaults) + pthread_attr_init(&unaffordable), 0);
  // A stack larger than any memory this machine has: every new thread is refused.
  ASSERT_EQ(pthread_attr_setstacksize(&unaffordable, std::size_t{1} << 46) +
                pthread_setattr_default_np(&unaffordable),
            0);
  bool refused = false;
  std::vector<std::size_t> ran, reported;
  try {
    std::thread([] {}).join();
  } catch (const std::system_error&) {
    refused = true;
    try {
      runOnWorkers(
          4, 4, [&](std::size_t i) { ran.push_back(i); }, [&](std::size_t i) { reported.push_back(i); },
          [] { return false; });
    } catch (const std::system_error& error) {
      ADD_FAILURE() << "the batch failed: " << error.what();
    }
  }
  pthread_setattr_default_np(&defaults);
  ASSERT_TRUE(refused) << "a thread with the huge stack was started: the test shows nothing here";
  EXPECT_EQ(ran, (std::vector<std::size_t>{0, 1, 2, 3}));
  EXPECT_EQ(reported, ran);
}

}  // namespace
}  // namespace korvaster::support
