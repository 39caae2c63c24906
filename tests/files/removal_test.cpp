// What the file layer refuses to remove, how it removes what it may, and the staging
// folders that keep concurrent and killed runs apart.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/deletion_guard.h"
#include "files/file_contents.h"
#include "files/file_lock.h"
#include "files/file_manager.h"
#include "files/staging_folder.h"
#include "bind_mount.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::entryNames;
using korvaster::testing::readFile;
using Names = std::vector<std::string>;

class RemovalTest : public ::testing::Test {
 protected:
  ~RemovalTest() override { DeletionGuard::resetForTesting(); }
  korvaster::testing::TemporaryFolder temp;
  korvaster::testing::ScopedEnvironment home{"HOME", (temp / "home").c_str()};
  const FileManager manager;
};

TEST_F(RemovalTest, TheGuardRefusesTheRootHomeCurrentDirectoryAndProtectedFoldersWithWhatHoldsThem) {
  temp.write("home/.korvast/Projects/Old/f", "");
  temp.write("work/App/f", "");
  temp.write("work/Sibling/f", "");
  DeletionGuard::protect(temp / "home/.korvast/Projects");
  DeletionGuard::protect(temp / "work/App");
  ASSERT_EQ(::symlink((temp / "work/App").c_str(), (temp / "link").c_str()), 0);
  for (const std::string& refused :
       {std::string("/"), temp / "home", temp / "home/.korvast", temp / "home/.korvast/Projects/", temp / "work/App",
        temp / "work", temp.path(), temp / "work/App/.", temp / "work/Sibling/..", manager.currentDirectoryPath()}) {
    Failure failure;
    EXPECT_FALSE(manager.removeItem(refused, &failure)) << refused;
    EXPECT_EQ(failure.reason.rfind("refused: ", 0), 0u) << refused;
  }
  EXPECT_EQ(DeletionGuard::refusal(temp / "work"), temp / "work holds a protected folder (" + temp / "work/App)");
  // A second path to the same folders, with a real path of its own: the same device and inode.
  const korvaster::testing::BindMount bound(temp / "work", temp.makeFolder("bound"));
  if (bound.mounted()) {
    EXPECT_EQ(DeletionGuard::refusal(temp / "bound"), temp / "bound holds a protected folder (" + temp / "work/App)");
    EXPECT_EQ(DeletionGuard::refusal(temp / "bound/App"), temp / "bound/App is a protected folder");
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
    const StagingFolder live(FileManager(), temp / "dest", ".stage-");
    livePath = live.path();
    EXPECT_TRUE(std::filesystem::is_regular_file(livePath + ".stage"));
    EXPECT_FALSE(FileLock::tryAcquire(livePath, FileLock::Target::folder));
    EXPECT_EQ(StagingFolder::removeAbandoned(FileManager(), temp / "dest", ".stage-"), 0);
    EXPECT_TRUE(std::filesystem::exists(livePath));
  }
  EXPECT_FALSE(std::filesystem::exists(livePath));  // a staging folder goes with its owner

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
  EXPECT_EQ(StagingFolder::removeAbandoned(FileManager(), temp / "dest", ".stage-"), 2);
  EXPECT_EQ(entryNames(temp / "dest"), (Names{".stage-backup", ".stage-notours"}));
  EXPECT_EQ(readFile(temp / "dest/.stage-backup/notes"), "mine");
  EXPECT_EQ(readFile(temp / "outside/keep"), "kept");
}

TEST_F(RemovalTest, AFileWithTheLongestNameThereMayBeIsRewritten) {
  // A temporary file named after it could not exist.
  const std::string file = temp.write(std::string(251, 'n') + ".xib", "old");
  writeAtomically(file, "new");
  EXPECT_EQ(readFile(file), "new");
  EXPECT_EQ(entryNames(temp.path()), Names{std::string(251, 'n') + ".xib"});
}

}  // namespace
}  // namespace korvaster::files
