#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/folder.h"
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
  // The file disappears between the listing and its copy, which then cannot be read.
  const std::string vanishing = temp.write("P/z/gone.txt", "z");
  auto manager = std::make_shared<FileManager>([&](const std::string& path) {
    return path != vanishing || std::filesystem::remove(vanishing);
  });
  EXPECT_THROW(Folder(temp / "P", manager).copy(out, "Q"), OperationError);
  EXPECT_EQ(korvaster::testing::entryNames(temp / "Out"), std::vector<std::string>{"P"});
}

// Files are copied on helper threads while the walk goes on; whichever thread meets a failure,
// the run reports the first file of the walk that failed and leaves nothing behind.
TEST_F(FolderCopyTest, AManyFileCopyReportsTheFirstFileThatFailedAndLeavesNoPartialTree) {
  for (int i = 0; i < 400; ++i) temp.write("P/d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".txt", "x");
  std::vector<std::string> taken;  // a file that takes a copied file's place in the copy
  int seen = 0;
  auto manager = std::make_shared<FileManager>([&](const std::string& path) {
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

}  // namespace
}  // namespace korvaster::files
