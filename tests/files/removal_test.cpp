// What the file layer refuses to remove, how it removes what it may, and the staging
// folders and locks that keep concurrent and killed runs apart.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/deletion_guard.h"
#include "files/file_contents.h"
#include "files/file_io_error.h"
#include "files/file_lock.h"
#include "files/file_manager.h"
#include "files/folder.h"
#include "files/staging_folder.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::readFile;
using korvaster::testing::TemporaryFolder;

class RemovalTest : public ::testing::Test {
 protected:
  ~RemovalTest() override { DeletionGuard::resetForTesting(); }
  TemporaryFolder temp;
  korvaster::testing::ScopedEnvironment home{"HOME", (temp / "home").c_str()};
};

TEST_F(RemovalTest, TheGuardRefusesTheRootHomeCurrentDirectoryAndProtectedFoldersWithWhatHoldsThem) {
  temp.write("home/.korvast/CommandLineTool/Projects/Old/f", "");
  temp.write("work/App/f", "");
  temp.write("work/Sibling/f", "");
  DeletionGuard::protect(temp / "home/.korvast/CommandLineTool/Projects");
  DeletionGuard::protect(temp / "work/App");
  ASSERT_EQ(::symlink((temp / "work/App").c_str(), (temp / "link").c_str()), 0);
  const FileManager manager;
  for (const std::string& refused :
       {std::string("/"), temp / "home", temp / "home/.korvast", temp / "home/.korvast/CommandLineTool/Projects/",
        temp / "work/App", temp / "work", temp.path(), temp / "work/App/.", temp / "work/Sibling/..",
        manager.currentDirectoryPath()}) {
    EXPECT_TRUE(DeletionGuard::refusal(refused)) << refused;
    EXPECT_FALSE(manager.removeItem(refused)) << refused;
  }
  EXPECT_TRUE(std::filesystem::exists(temp / "work/App/f"));
  // What the protected folders hold may go; a link is judged as the link it is.
  EXPECT_TRUE(manager.removeItem(temp / "home/.korvast/CommandLineTool/Projects/Old"));
  EXPECT_TRUE(manager.removeItem(temp / "work/Sibling"));
  EXPECT_TRUE(manager.removeItem(temp / "link"));
  EXPECT_TRUE(std::filesystem::exists(temp / "work/App/f"));
  EXPECT_FALSE(std::filesystem::exists(temp / "work/Sibling"));
}

TEST_F(RemovalTest, FoldersReadOnlyToTheirOwnerAreRemovedAndLinksNeverFollowed) {
  temp.write("outside/keep", "kept");
  temp.write("copy/a/b/f", "");
  ASSERT_EQ(::symlink((temp / "outside").c_str(), (temp / "copy/a/out").c_str()), 0);
  ASSERT_EQ(::chmod((temp / "copy/a/b").c_str(), 0555), 0);
  ASSERT_EQ(::chmod((temp / "copy/a").c_str(), 0), 0);
  EXPECT_TRUE(FileManager().removeItem(temp / "copy"));
  EXPECT_FALSE(std::filesystem::exists(temp / "copy"));
  EXPECT_EQ(readFile(temp / "outside/keep"), "kept");
}

TEST_F(RemovalTest, ACopyKeepsReadOnlyFoldersWritableUntilTheirModesAreApplied) {
  temp.write("P/ro/inner/f", "");
  ASSERT_EQ(::chmod((temp / "P/ro/inner").c_str(), 0500), 0);
  ASSERT_EQ(::chmod((temp / "P/ro").c_str(), 0555), 0);
  temp.makeFolder("Out");
  FileManager::FolderModes modes;
  Folder(temp / "P").copy(Folder(temp / "Out"), "C", &modes);
  auto modeOf = [](const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
  };
  EXPECT_EQ(modeOf(temp / "Out/C/ro"), 0755u);
  EXPECT_EQ(modeOf(temp / "Out/C/ro/inner"), 0700u);
  ASSERT_EQ(modes.size(), 2u);
  EXPECT_EQ(modes[0].relativePath, "ro/inner");  // children before parents
  EXPECT_TRUE(FileManager().applyFolderModes(temp / "Out/C", modes));
  EXPECT_EQ(modeOf(temp / "Out/C/ro"), 0555u);
  EXPECT_EQ(modeOf(temp / "Out/C/ro/inner"), 0500u);
}

TEST_F(RemovalTest, OnlyAbandonedStagingFoldersAreRemoved) {
  temp.makeFolder("dest");
  temp.write("dest/.stage-notours/f", "");  // not the staging name's shape
  std::string livePath;
  {
    const StagingFolder live(temp / "dest", ".stage-");
    livePath = live.path();
    temp.write(livePath.substr(temp.path().size() + 1) + "f", "");
    EXPECT_FALSE(FileLock::tryAcquire(live.path(), FileLock::Target::folder));
    EXPECT_EQ(StagingFolder::removeAbandoned(temp / "dest", ".stage-"), 0);
    EXPECT_TRUE(std::filesystem::exists(livePath + "f"));
  }
  EXPECT_FALSE(std::filesystem::exists(livePath));  // a staging folder goes with its owner

  // A marked staging folder whose owner died keeps no lock, and the next run removes it; so
  // does an empty one, left by a run killed before it marked it. A user's folder that only
  // looks like one stays.
  temp.write("dest/.stage-abcdef/.stage", "");
  temp.write("dest/.stage-abcdef/ro/f", "");
  ASSERT_EQ(::chmod((temp / "dest/.stage-abcdef/ro").c_str(), 0555), 0);
  temp.makeFolder("dest/.stage-emptyy");
  temp.write("dest/.stage-backup/notes", "mine");
  EXPECT_EQ(StagingFolder::removeAbandoned(temp / "dest", ".stage-"), 2);
  EXPECT_FALSE(std::filesystem::exists(temp / "dest/.stage-abcdef"));
  EXPECT_FALSE(std::filesystem::exists(temp / "dest/.stage-emptyy"));
  EXPECT_EQ(readFile(temp / "dest/.stage-backup/notes"), "mine");
  EXPECT_TRUE(std::filesystem::exists(temp / "dest/.stage-notours/f"));
}

TEST_F(RemovalTest, ALockIsExclusiveUntilItsHolderLetsGo) {
  const std::string path = temp / "x.lock";
  {
    const FileLock held = FileLock::acquire(path, FileLock::Target::lockFile, nullptr);
    EXPECT_FALSE(FileLock::tryAcquire(path, FileLock::Target::lockFile));
  }
  EXPECT_TRUE(FileLock::tryAcquire(path, FileLock::Target::lockFile));
  EXPECT_THROW(FileLock::tryAcquire(temp / "missing/folder", FileLock::Target::folder), FileIOError);
}

TEST_F(RemovalTest, OnlyRegularFilesAreReadAndLongNamesCanBeRewritten) {
  ASSERT_EQ(::mkfifo((temp / "pipe.xib").c_str(), 0644), 0);
  try {
    readContents(temp / "pipe.xib");  // would block forever if opened for reading plainly
    FAIL() << "a pipe was read";
  } catch (const FileIOError& error) {
    EXPECT_EQ(error.description(), "could not read " + (temp / "pipe.xib") + ": not a regular file");
  }
  EXPECT_THROW(readContents("/dev/zero"), FileIOError);

  const std::string longName = std::string(251, 'n') + ".xib";
  const std::string file = temp.write(longName, "old");
  writeAtomically(file, "new");
  EXPECT_EQ(readFile(file), "new");
}

}  // namespace
}  // namespace korvaster::files
