#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file.h"
#include "files/folder.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::readFile;
using korvaster::testing::TemporaryFolder;

mode_t permissionsOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

TEST(FolderCopyTest, CopiesContentsPermissionsAndLinksAsLinks) {
  TemporaryFolder temp;
  temp.write("Project/main.swift", "print(1)");
  const std::string script = temp.write("Project/run.sh", "#!/bin/sh\n");
  ASSERT_EQ(::chmod(script.c_str(), 0750), 0);
  temp.write("Project/Sub/Deep/big.bin", std::string(3 << 20, 'x'));
  ASSERT_EQ(::symlink("main.swift", (temp / "Project/alias").c_str()), 0);
  ASSERT_EQ(::symlink("/nonexistent/target", (temp / "Project/dangling").c_str()), 0);
  temp.makeFolder("Out");

  const Folder copy = Folder(temp / "Project").copy(Folder(temp / "Out"));
  EXPECT_EQ(copy.path(), temp / "Out/Project/");
  EXPECT_EQ(readFile(temp / "Out/Project/main.swift"), "print(1)");
  EXPECT_EQ(readFile(temp / "Out/Project/Sub/Deep/big.bin").size(), 3u << 20);
  EXPECT_EQ(permissionsOf(temp / "Out/Project/run.sh"), 0750u);
  char target[64] = {};
  ASSERT_GT(::readlink((temp / "Out/Project/alias").c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, "main.swift");
  EXPECT_TRUE(std::filesystem::is_symlink(temp / "Out/Project/dangling"));
}

TEST(FolderCopyTest, FilterSeesFullSourcePathsAndSkipsRefusedFoldersWhole) {
  TemporaryFolder temp;
  for (const char* name :
       {"P/a.txt", "P/.git/HEAD", "P/sub/.git/x", "P/sub/keep.txt", "P/skip/inner/y.txt"}) {
    temp.write(name, "");
  }
  temp.makeFolder("Out");
  std::vector<std::string> asked;
  auto manager = std::make_shared<FileManager>([&](const std::string& path) {
    asked.push_back(path);
    const auto name = path.substr(path.rfind('/') + 1);
    return name != ".git" && name != "skip";
  });
  Folder(temp / "P", manager).copy(Folder(temp / "Out"));
  EXPECT_TRUE(std::filesystem::exists(temp / "Out/P/a.txt"));
  EXPECT_TRUE(std::filesystem::exists(temp / "Out/P/sub/keep.txt"));
  EXPECT_FALSE(std::filesystem::exists(temp / "Out/P/.git"));
  EXPECT_FALSE(std::filesystem::exists(temp / "Out/P/sub/.git"));
  EXPECT_FALSE(std::filesystem::exists(temp / "Out/P/skip"));
  EXPECT_NE(std::find(asked.begin(), asked.end(), temp / "P/sub/keep.txt"), asked.end());
  EXPECT_EQ(std::find(asked.begin(), asked.end(), temp / "P/skip/inner"), asked.end());
}

TEST(FolderCopyTest, NothingIsOverwritten) {
  TemporaryFolder temp;
  temp.write("P/a.txt", "new");
  temp.write("Out/P/a.txt", "old");
  try {
    Folder(temp / "P").copy(Folder(temp / "Out"));
    FAIL();
  } catch (const OperationError& error) {
    EXPECT_EQ(error.errorCase(), OperationError::Case::copyFailed);
    EXPECT_EQ(error.item(), Folder(temp / "P"));
  }
  EXPECT_EQ(readFile(temp / "Out/P/a.txt"), "old");
}

TEST(FolderCopyTest, AFailedCopyLeavesNoPartialTree) {
  TemporaryFolder temp;
  temp.write("P/a/a.txt", "a");
  const std::string vanishing = temp.write("P/z/gone.txt", "z");
  temp.makeFolder("Out");
  // The file disappears between the listing and its copy, which then cannot be read.
  auto manager = std::make_shared<FileManager>([&](const std::string& path) {
    if (path == vanishing) std::filesystem::remove(vanishing);
    return true;
  });
  EXPECT_THROW(Folder(temp / "P", manager).copy(Folder(temp / "Out")), OperationError);
  EXPECT_FALSE(std::filesystem::exists(temp / "Out/P"));
  EXPECT_TRUE(std::filesystem::exists(temp / "P/a/a.txt"));
}

}  // namespace
}  // namespace korvaster::files
