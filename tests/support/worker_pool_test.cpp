#include "support/worker_pool.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <thread>
#include <vector>

namespace korvaster::support {
namespace {

// Threads can be refused (a process or memory limit): the batch is then done by fewer
// threads, down to the calling one alone, rather than failing the run.
TEST(WorkerPoolTest, WhenNoThreadCanBeStartedTheCallingThreadRunsTheWholeBatch) {
  pthread_attr_t defaults;
  pthread_attr_t unaffordable;
  ASSERT_EQ(pthread_getattr_default_np(&defaults), 0);
  ASSERT_EQ(pthread_attr_init(&unaffordable), 0);
  // A stack larger than any memory this machine has: every new thread is refused.
  ASSERT_EQ(pthread_attr_setstacksize(&unaffordable, std::size_t{1} << 46), 0);
  ASSERT_EQ(pthread_setattr_default_np(&unaffordable), 0);
  std::vector<int> ran(6, 0);
  std::vector<std::size_t> reported;
  bool threadRefused = false;
  try {
    std::thread([] {}).join();
  } catch (const std::system_error&) {
    threadRefused = true;
  }
  try {
    runOnWorkers(ran.size(), 4, [&](std::size_t i) { ++ran[i]; }, [&](std::size_t i) { reported.push_back(i); },
                 [] { return false; });
  } catch (const std::system_error& error) {
    ADD_FAILURE() << "the batch failed: " << error.what();
  }
  pthread_setattr_default_np(&defaults);
  pthread_attr_destroy(&unaffordable);
  pthread_attr_destroy(&defaults);
  ASSERT_TRUE(threadRefused) << "this system started a thread with the huge stack";
  EXPECT_EQ(ran, std::vector<int>(6, 1));
  EXPECT_EQ(reported, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace korvaster::support
