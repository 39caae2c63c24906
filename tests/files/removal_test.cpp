// What the file layer refuses to remove, how it removes what it may, and the staging
// folders that keep concurrent and killed runs apart.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#if defined(__linux__)
#include <sys/fsuid.h>
#endif

#include "files/deletion_guard.h"
#include "files/file_io_error.h"
#include "files/file_lock_posix.h"
#include "files/file_manager_posix.h"
#include "files/staging_folder.h"
#include "bind_mount.h"
#include "fakes/fault_injecting_file_manager.h"
#include "fakes/system_call_faults.h"
#include "fixed_environment.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::entryNames;
using korvaster::testing::readFile;
using Names = std::vector<std::string>;
using Call = korvaster::testing::FaultInjectingFileManager::Call;

class RemovalTest : public ::testing::Test {
 protected:
  korvaster::testing::TemporaryFolder temp;
  const korvaster::testing::FixedEnvironment environment{{"HOME", temp / "home"}};
  const PosixFileManager posix{nullptr, &environment};
  const FileManager& manager = posix;
};

TEST_F(RemovalTest, TheGuardRefusesTheRootHomeCurrentDirectoryAndProtectedFoldersWithWhatHoldsThem) {
  temp.write("home/.korvast/Projects/Old/f", "");
  temp.write("work/App/f", "");
  temp.write("work/Sibling/f", "");
  manager.protectFromRemoval(temp / "home/.korvast/Projects");
  manager.protectFromRemoval(temp / "work/App");
  ASSERT_EQ(::symlink((temp / "work/App").c_str(), (temp / "link").c_str()), 0);
  for (const std::string& refused :
       {std::string("/"), temp / "home", temp / "home/.korvast", temp / "home/.korvast/Projects/", temp / "work/App",
        temp / "work", temp.path(), temp / "work/App/.", temp / "work/Sibling/..", manager.currentDirectoryPath()}) {
    Failure failure;
    EXPECT_FALSE(manager.removeItem(refused, &failure)) << refused;
    EXPECT_EQ(failure.reason.rfind("refused: ", 0), 0u) << refused;
  }
  EXPECT_EQ(manager.removalRefusal(temp / "work"), temp / "work holds a protected folder (" + temp / "work/App)");
  // A second path to the same folders, with a real path of its own: the same device and inode.
  const korvaster::testing::BindMount bound(temp / "work", temp.makeFolder("bound"));
  if (bound.mounted()) {
    EXPECT_EQ(manager.removalRefusal(temp / "bound"), temp / "bound holds a protected folder (" + temp / "work/App)");
    EXPECT_EQ(manager.removalRefusal(temp / "bound/App"), temp / "bound/App is a protected folder");
    EXPECT_FALSE(manager.removeItem(temp / "bound/App"));
  }
  // What the protected folders hold may go; a link is judged as the link it is.
  for (const char* allowed : {"home/.korvast/Projects/Old", "work/Sibling", "link"}) {
    EXPECT_TRUE(manager.removeItem(temp / allowed)) << allowed;
  }
  EXPECT_EQ(entryNames(temp / "work"), Names{"App"});
  EXPECT_EQ(entryNames(temp / "work/App"), Names{"f"});
  EXPECT_EQ(entryNames(temp / "home/.korvast/Projects"), Names{});
}

TEST_F(RemovalTest, OnlyAbandonedStagingFoldersAreRemovedWithFoldersTheirOwnerCannotWriteButNoLinkedFolder) {
  temp.write("dest/.stage-notours/f", "");         // not the staging name's shape
  temp.write("dest/.stage-backup/notes", "mine");  // the shape, but no mark: a user's folder
  std::string livePath;
  {
    const StagingFolder live(std::make_shared<PosixFileManager>(), temp / "dest", ".stage-");
    livePath = live.path();
    EXPECT_TRUE(std::filesystem::is_regular_file(livePath + ".stage"));
    EXPECT_FALSE(tryAcquirePosixLock(livePath, FileLock::Target::folder));
    ASSERT_EQ(::mkfifo((temp / "fifo.lock").c_str(), 0644), 0);  // a lock file is never a pipe put there
    EXPECT_THROW(tryAcquirePosixLock(temp / "fifo.lock", FileLock::Target::lockFile), FileIOError);
    EXPECT_EQ(StagingFolder::removeAbandoned(PosixFileManager(), temp / "dest", ".stage-"), 0);
    EXPECT_TRUE(std::filesystem::exists(livePath));
  }
  EXPECT_FALSE(std::filesystem::exists(livePath));  // a staging folder goes with its owner
  // Another run's clean-up takes a new folder for abandoned before its lock is taken: another is made.
  const auto disk = std::make_shared<korvaster::testing::FaultInjectingFileManager>(std::make_shared<PosixFileManager>());
  disk->fail(Call::lock, 1, 0,
             [&] { EXPECT_EQ(StagingFolder::removeAbandoned(PosixFileManager(), temp / "dest", ".stage-"), 1); });
  EXPECT_TRUE(std::filesystem::is_regular_file(StagingFolder(disk, temp / "dest", ".stage-").path() + ".stage"));

  // A marked staging folder whose owner died keeps no lock, and the next run removes it; so
  // does an empty one, left by a run killed before it marked it.
  temp.write("dest/.stage-abcdef/.stage", "");
  temp.write("dest/.stage-abcdef/ro/f", "");
  temp.write("dest/.stage-abcdef/none/g", "");
  temp.write("outside/keep", "kept");
  ASSERT_EQ(::symlink((temp / "outside").c_str(), (temp / "dest/.stage-abcdef/ro/out").c_str()), 0);
  ASSERT_EQ(::chmod((temp / "dest/.stage-abcdef/ro").c_str(), 0555), 0);
  ASSERT_EQ(::chmod((temp / "dest/.stage-abcdef/none").c_str(), 0), 0);
  temp.makeFolder("dest/.stage-emptyy");
  EXPECT_EQ(StagingFolder::removeAbandoned(PosixFileManager(), temp / "dest", ".stage-"), 2);
  EXPECT_EQ(entryNames(temp / "dest"), (Names{".stage-backup", ".stage-notours"}));
  EXPECT_EQ(readFile(temp / "dest/.stage-backup/notes"), "mine");
  EXPECT_EQ(readFile(temp / "outside/keep"), "kept");
}

#if defined(__linux__)
// Makes `depth` nested folders named `name` in `root`, each with a file, every seventh
// read-only and every fiftieth with a link to `outside`. It works from open folders: the
// whole path may be longer than any the system takes.
void makeDeepTree(const std::string& root, int depth, const std::string& name, const std::string& outside) {
  ASSERT_EQ(::mkdir(root.c_str(), 0755), 0);
  int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
  for (int level = 1; level <= depth && folder >= 0; ++level) {
    ASSERT_EQ(::mkdirat(folder, name.c_str(), 0755), 0) << level;
    const int file = ::openat(folder, "f", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ::close(file);
    if (level % 50 == 0) {
      ASSERT_EQ(::symlinkat(outside.c_str(), folder, "out"), 0);
    }
    if (level % 7 == 0) ::fchmod(folder, 0500);
    const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(folder);
    folder = next;
  }
  ASSERT_GE(folder, 0);
  ::close(folder);
}

// Sets the soft limit on open descriptors while it lives (0: leaves it alone).
struct DescriptorLimit {
  explicit DescriptorLimit(rlim_t limit) {
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const rlimit lowered{limit == 0 ? saved.rlim_cur : limit, saved.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &lowered);
  }
  ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved); }
  rlimit saved{};
};

// A failed entry's own errno is what the removal reports, however deep it lies: a folder left
// non-empty by it must not hide the reason behind ENOTEMPTY.
TEST_F(RemovalTest, TreesOfAnyDepthGoWithFewDescriptorsAndNothingTheirLinksLeadTo) {
  temp.write("outside/keep", "kept");
  const struct {
    int depth;
    std::string name;
    rlim_t descriptors;  // the soft limit during the removal; 0: the usual one
    int failedEntry = 0, error = 0;  // the nth entry removal that fails with `error`; 0: none
  } cases[] = {
      {3, "d", 0},
      {300, "d", 64},                    // deeper than the process may hold descriptors
      {300, std::string(20, 'n'), 0},    // a path far longer than PATH_MAX
      {260, std::string(20, 'n'), 32},   // both
      {3, "d", 0, 1, EACCES},            // the deepest file
      {40, "d", 0, 45, EBUSY},           // midway, above the 16 folders held open
      {40, "d", 12, 45, EBUSY},
  };
  for (const auto& c : cases) {
    const std::string root = temp / "tree";
    makeDeepTree(root, c.depth, c.name, temp / "outside");
    Failure failure;
    {
      const korvaster::testing::SystemCallFault fault(c.failedEntry != 0 ? "unlinkat" : "none", c.error, c.failedEntry);
      const DescriptorLimit limit(c.descriptors);
      static_cast<void>(manager.removeItem(root, &failure));
    }
    EXPECT_EQ(failure.reason, c.error == 0 ? "" : std::strerror(c.error)) << c.depth;
    struct stat status {};
    EXPECT_EQ(::lstat(root.c_str(), &status) == 0, c.error != 0) << c.depth;
    EXPECT_EQ(readFile(temp / "outside/keep"), "kept");
    static_cast<void>(manager.removeItem(root));
  }
  makeDeepTree(temp / "tree", 3, "d", temp / "outside");
  Failure unlisted, missing;
  {
    const korvaster::testing::SystemCallFault unlistable("fdopendir", EIO, 2);  // a folder below
    EXPECT_FALSE(manager.removeItem(temp / "tree", &unlisted));
  }
  EXPECT_EQ(unlisted.reason, std::strerror(EIO));
  EXPECT_FALSE(manager.removeItem(temp / "none", &missing));
  EXPECT_EQ(missing.reason, std::strerror(ENOENT));
}

// A removal cut short (here: a folder of root's in it, removed as another user) leaves the
// staging folder marked, so that the next run still knows it for an abandoned one.
TEST_F(RemovalTest, AStagingFolderKeepsItsMarkUntilEverythingElseInItIsGone) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a folder another user cannot empty";
  const std::string staging = temp / "dest/.stage-abcdef";
  temp.write("dest/.stage-abcdef/.stage", "");
  for (const char* file : {"a/f", "z/f", "rooted/f"}) temp.write(std::string("dest/.stage-abcdef/") + file, "");
  ASSERT_EQ(::chmod(temp.path().c_str(), 0755), 0);
  for (const char* item : {"dest", "dest/.stage-abcdef", "dest/.stage-abcdef/.stage", "dest/.stage-abcdef/a",
                           "dest/.stage-abcdef/a/f", "dest/.stage-abcdef/z", "dest/.stage-abcdef/z/f"}) {
    ASSERT_EQ(::lchown((temp / item).c_str(), 65534, 65534), 0) << item;
  }
  ASSERT_EQ(::chmod((staging + "/a").c_str(), 0), 0);  // its owner must open it up to empty it
  const auto previous = static_cast<uid_t>(::setfsuid(65534));
  const int removedByOther = StagingFolder::removeAbandoned(PosixFileManager(), temp / "dest", ".stage-");
  ::setfsuid(previous);
  EXPECT_EQ(removedByOther, 0);
  EXPECT_EQ(entryNames(staging), (Names{".stage", "rooted"}));
  EXPECT_EQ(StagingFolder::removeAbandoned(PosixFileManager(), temp / "dest", ".stage-"), 1);
  EXPECT_EQ(entryNames(temp / "dest"), Names{});
}
#endif

}  // namespace
}  // namespace korvaster::files
