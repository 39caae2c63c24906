#include "files/file_copy_queue.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "temporary_folder.h"

namespace korvaster::files {
namespace {

// A later file that fails on the walking thread (the queue being full) must not hide an
// earlier queued one that fails too: with one thread the earlier one is reported, and the
// report may not depend on how many threads copy.
TEST(FileCopyQueueTest, AnEarlierQueuedFailureWinsOverALaterOneMetFirst) {
  korvaster::testing::TemporaryFolder temp;
  const std::string source = temp.write("source", "x");
  const std::string fifo = temp / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string early = temp.write("out/1", "");
  const std::string late = temp.write("out/300", "");
  FileCopyQueue queue(1);
  // The helper waits in the copy of the fifo until it has a writer, so the queue fills up.
  ASSERT_TRUE(queue.add(fifo, temp / "out/0", 0600));
  bool added = true;
  for (int i = 1; i <= 300 && added; ++i)
    added = queue.add(source, temp / ("out/" + std::to_string(i)), 0600);
  EXPECT_FALSE(added);
  int writer = -1;
  for (int tries = 0; writer < 0 && tries < 1000; ++tries) {
    writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);  // ENXIO until the helper opens it
    if (writer < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_GE(writer, 0);
  ::close(writer);
  const auto failure = queue.finish();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->path, early);
  EXPECT_EQ(failure->reason, "File exists");
}

// The copy is removed after a failure, so a file that cannot be read is named in the project.
TEST(FileCopyQueueTest, AFileThatCannotBeReadIsNamedWhereItLies) {
  korvaster::testing::TemporaryFolder temp;
  FileCopyQueue queue(1);
  queue.add(temp / "gone", temp / "copy", 0600);
  const auto failure = queue.finish();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->path, temp / "gone");
  EXPECT_EQ(failure->reason, "No such file or directory");
}

}  // namespace
}  // namespace korvaster::files
