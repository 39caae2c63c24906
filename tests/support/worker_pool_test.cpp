#include "support/worker_pool.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fixed_environment.h"

namespace korvaster::support {
namespace {

TEST(WorkerPoolTest, KorvasterJobsCapsTheWorkersWhenItIsAPositiveNumber) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  EXPECT_EQ(workerCount(testing::FixedEnvironment{}), cores);
  for (const auto& [jobs, workers] : {std::pair<std::string, std::size_t>("", cores), {"0", cores}, {"-1", cores},
                                      {"2x", cores}, {"x", cores}, {"1", 1}, {"100000", cores}}) {
    EXPECT_EQ(workerCount(testing::FixedEnvironment{{"KORVASTER_JOBS", jobs}}), workers) << jobs;
  }
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
