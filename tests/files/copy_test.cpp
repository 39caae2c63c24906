// Copying a tree: what the copy keeps, and which failure a many-threaded copy reports.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "fakes/system_call_faults.h"
#include "files/clone_copy_posix.h"
#include "files/file_copy_queue.h"
#include "files/folder.h"
#include "files/file_manager_posix.h"
#include "files/opened_folder_posix.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::permissionsOf;
using korvaster::testing::readFile;

class FolderCopyTest : public ::testing::Test {
 protected:
  korvaster::testing::TemporaryFolder temp;
  Folder out{temp.makeFolder("Out")};
};

TEST_F(FolderCopyTest, CopiesContentsPermissionsAndLinksAsLinks) {
  temp.write("P/main.swift", "print(1)");
  temp.write("P/Sub/Deep/big.bin", std::string(3 << 20, 'x'));
  ASSERT_EQ(::chmod(temp.write("P/run.sh", "").c_str(), 0750) + ::chmod((temp / "P/Sub").c_str(), 0751), 0);
  ASSERT_EQ(::symlink("main.swift", (temp / "P/alias").c_str()), 0);
  ASSERT_EQ(::symlink("/nonexistent/target", (temp / "P/dangling").c_str()), 0);

  EXPECT_EQ(Folder(temp / "P").copy(out).path(), temp / "Out/P/");
  EXPECT_EQ(readFile(temp / "Out/P/main.swift"), "print(1)");
  EXPECT_EQ(readFile(temp / "Out/P/Sub/Deep/big.bin"), std::string(3 << 20, 'x'));
  EXPECT_EQ(std::pair(permissionsOf(temp / "Out/P/run.sh"), permissionsOf(temp / "Out/P/Sub")), std::pair(0750u, 0751u));
  EXPECT_EQ(std::filesystem::read_symlink(temp / "Out/P/alias"), "main.swift");
  EXPECT_EQ(std::filesystem::read_symlink(temp / "Out/P/dangling"), "/nonexistent/target");
  // A link the copy is to own becomes a copy of the file it leads to, with that file's bits.
  PosixFileManager().replaceLinkWithCopy(temp / "Out/P/alias", "");
  EXPECT_EQ(std::filesystem::symlink_status(temp / "Out/P/alias").type(), std::filesystem::file_type::regular);
  EXPECT_EQ(std::pair(readFile(temp / "Out/P/alias"), permissionsOf(temp / "Out/P/alias")),
            std::pair(std::string("print(1)"), permissionsOf(temp / "P/main.swift")));
}

TEST_F(FolderCopyTest, NothingIsOverwrittenAndAFailedCopyLeavesNoPartialTree) {
  temp.write("P/a/a.txt", "new");
  temp.write("Out/P/a/a.txt", "old");
  try {
    Folder(temp / "P").copy(out);
    FAIL() << "copied over an existing folder";
  } catch (const OperationError& error) {
    EXPECT_EQ(error.errorCase(), OperationError::Case::copyFailed);
    EXPECT_EQ(error.item(), Folder(temp / "P"));
  }
  EXPECT_EQ(readFile(temp / "Out/P/a/a.txt"), "old");
  // The file disappears between the listing and its copy, which then cannot be read: it is named
  // where it was, as the copy is removed.
  const std::string vanishing = temp.write("P/z/gone.txt", "z");
  auto manager = std::make_shared<PosixFileManager>([&](const std::string& path) {
    return path != vanishing || std::filesystem::remove(vanishing);
  });
  try {
    Folder(temp / "P", manager).copy(out, "Q");
    ADD_FAILURE() << "copied a file that is gone";
  } catch (const OperationError& error) {
    EXPECT_EQ(error.failure().path, vanishing);
    EXPECT_EQ(error.failure().reason, "No such file or directory");
  }
  EXPECT_EQ(korvaster::testing::entryNames(temp / "Out"), std::vector<std::string>{"P"});
}

// Files are copied on helper threads while the walk goes on; whichever thread meets a failure,
// the run reports the first file of the walk that failed and leaves nothing behind.
TEST_F(FolderCopyTest, AManyFileCopyReportsTheFirstFileThatFailedAndLeavesNoPartialTree) {
  for (int i = 0; i < 400; ++i) temp.write("P/d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".txt", "x");
  std::vector<std::string> taken;  // a file that takes a copied file's place in the copy
  int seen = 0;
  auto manager = std::make_shared<PosixFileManager>([&](const std::string& path) {
    if (++seen == 150 || seen == 152) taken.push_back(temp.write("Out/Q/" + path.substr(path.rfind("/P/") + 3), ""));
    return true;
  });
  try {
    Folder(temp / "P", manager).copy(out, "Q");
    FAIL() << "copied over a file";
  } catch (const OperationError& error) {
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(error.failure().path, taken[0]);
    EXPECT_EQ(error.failure().reason, "File exists");
  }
  EXPECT_TRUE(std::filesystem::is_empty(temp / "Out"));
}

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
  const std::shared_ptr<const OpenedFolder> from = PosixOpenedFolder::open(temp.path());
  const std::shared_ptr<const OpenedFolder> into = PosixOpenedFolder::open(temp / "out");
  FileCopyQueue queue(1);
  // The helper waits in the copy of the fifo until it has a writer, so the queue fills up.
  ASSERT_TRUE(queue.add(from, "fifo", into, 0600));
  bool added = true;
  for (int i = 1; i <= 300 && added; ++i) {
    ASSERT_EQ(::link(source.c_str(), (temp / std::to_string(i)).c_str()), 0);
    added = queue.add(from, std::to_string(i), into, 0600);
  }
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

#if defined(__linux__)
// What the kernel's in-kernel copy does in the test below: refuse at once, or copy up to
// `rangeLimit` bytes through the offsets (as the real one does) and then fail or end early.
struct RangeScript {
  int refusal = 0;          // errno before anything is copied; 0: copies
  std::size_t limit = 0;    // bytes it copies before it stops
  int errorAfter = 0;       // errno once `limit` is reached; 0: ends as if the file shrank
};
RangeScript script;
ssize_t scriptedRange(int from, int to, std::size_t length) {
  if (script.refusal != 0) return errno = script.refusal, -1;
  if (script.limit == 0) return script.errorAfter != 0 ? (errno = script.errorAfter, -1) : 0;
  std::string bytes(std::min(length, script.limit), '\0');
  const ssize_t count = ::read(from, bytes.data(), bytes.size());
  if (count > 0 && ::write(to, bytes.data(), static_cast<std::size_t>(count)) != count) return -1;
  script.limit -= static_cast<std::size_t>(std::max<ssize_t>(count, 0));
  return count;
}

// Each way the kernel may refuse or stop: the copy ends with the source's bytes and bits by the
// next way, or fails with the reason of the step that broke, never with a short file. In the
// last way, read and write, an interrupted read is read again.
TEST(FileContentsCopyTest, EveryFallbackEndsWithTheWholeFileOrFailsWithTheReason) {
  korvaster::testing::TemporaryFolder temp;
  std::string bytes;
  for (int index = 0; index < 200000; ++index) bytes += static_cast<char>('a' + index % 23);
  const std::string source = temp.write("source", bytes);
  const KernelCopyCalls calls{[](int, int) { return errno = EOPNOTSUPP, -1; }, scriptedRange};
  const struct {
    RangeScript range;
    int error;  // 0: copied whole
    int readFault = 0;
  } cases[] = {{{EXDEV, 0, 0}, 0}, {{ENOSYS, 0, 0}, 0}, {{0, 70000, 0}, 0}, {{0, 70000, EIO}, EIO}, {{0, 70000, EXDEV}, EXDEV},
               {{EXDEV, 0, 0}, 0, EINTR}, {{EXDEV, 0, 0}, EIO, EIO}};
  int index = 0;
  for (const auto& c : cases) {
    script = c.range;
    const std::string copy = temp / ("copy" + std::to_string(index++));
    errno = 0;
    korvaster::testing::SystemCallFault fault(c.readFault != 0 ? "read" : "none", c.readFault);
    const bool copied = copyFileContents(AT_FDCWD, source, AT_FDCWD, copy, 0640, nullptr, calls);
    EXPECT_EQ(copied, c.error == 0) << index;
    if (copied) {
      EXPECT_EQ(readFile(copy), bytes) << index;
      EXPECT_EQ(permissionsOf(copy), 0640u) << index;
    } else {
      EXPECT_EQ(errno, c.error) << index;
    }
  }
}
#endif

}  // namespace
}  // namespace korvaster::files
