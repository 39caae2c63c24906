#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_system_sequence.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::TemporaryFolder;

template <typename Item>
std::vector<std::string> relativePaths(const FileSystemSequence<Item>& sequence, const std::string& root) {
  std::vector<std::string> paths;
  for (const auto& item : sequence) paths.push_back(item.path().substr(root.size() + 1));
  return paths;
}

TEST(EnumerationTest, EntriesInNameOrderThenEachSubfolderCompletely) {
  TemporaryFolder temp;
  for (const char* name :
       {"b.xib", "a.xib", "Z.xib", "sub/c.xib", "sub/inner/d.xib", "sub/e.xib", "aaa/f.xib"}) {
    temp.write(name, "");
  }
  const Folder root(temp.path());
  EXPECT_EQ(relativePaths(root.makeFileSequence(true), temp.path()),
            (std::vector<std::string>{"Z.xib", "a.xib", "b.xib", "aaa/f.xib", "sub/c.xib", "sub/e.xib",
                                      "sub/inner/d.xib"}));
  EXPECT_EQ(relativePaths(root.makeFileSequence(), temp.path()),
            (std::vector<std::string>{"Z.xib", "a.xib", "b.xib"}));
  EXPECT_EQ(relativePaths(root.subfolders(), temp.path()), (std::vector<std::string>{"aaa/", "sub/"}));
}

TEST(EnumerationTest, HiddenItemsAreNeitherReturnedNorEntered) {
  TemporaryFolder temp;
  for (const char* name : {".hidden.xib", ".git/config.xib", "v.xib", ".svn/sub/x.xib"}) temp.write(name, "");
  const Folder root(temp.path());
  EXPECT_EQ(relativePaths(root.makeFileSequence(true), temp.path()), std::vector<std::string>{"v.xib"});
  EXPECT_EQ(relativePaths(root.makeFileSequence(true, true), temp.path()),
            (std::vector<std::string>{".hidden.xib", "v.xib", ".git/config.xib", ".svn/sub/x.xib"}));
  EXPECT_TRUE(relativePaths(root.subfolders(), temp.path()).empty());
}

TEST(EnumerationTest, LinkedFoldersAreEnteredButACycleIsWalkedOnce) {
  TemporaryFolder temp;
  temp.write("tree/a.xib", "");
  temp.write("tree/sub/b.xib", "");
  temp.write("outside/o.xib", "");
  ASSERT_EQ(::symlink((temp / "tree").c_str(), (temp / "tree/sub/loop").c_str()), 0);
  ASSERT_EQ(::symlink((temp / "outside").c_str(), (temp / "tree/out").c_str()), 0);
  const Folder root(temp / "tree");
  EXPECT_EQ(relativePaths(root.makeFileSequence(true), temp / "tree"),
            (std::vector<std::string>{"a.xib", "out/o.xib", "sub/b.xib"}));
}

TEST(EnumerationTest, UnreadableFolderEnumeratesAsEmpty) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  TemporaryFolder temp;
  temp.write("locked/x.xib", "");
  temp.write("y.xib", "");
  ASSERT_EQ(::chmod((temp / "locked").c_str(), 0), 0);
  EXPECT_EQ(relativePaths(Folder(temp.path()).makeFileSequence(true), temp.path()),
            std::vector<std::string>{"y.xib"});
}

TEST(EnumerationTest, EntriesThatAreNeitherFilesNorFoldersEnumerateAsEmpty) {
  TemporaryFolder temp;
  temp.write("y.xib", "");
  ASSERT_EQ(::symlink("/nonexistent/korvaster", (temp / "dangling").c_str()), 0);
  EXPECT_EQ(relativePaths(Folder(temp.path()).makeFileSequence(true), temp.path()),
            std::vector<std::string>{"y.xib"});
}

TEST(EnumerationTest, EntriesDeletedAfterListingAreSkipped) {
  TemporaryFolder temp;
  temp.write("a.xib", "");
  temp.write("b.xib", "");
  auto iterator = Folder(temp.path()).makeFileSequence().makeIterator();
  std::filesystem::remove(temp / "b.xib");
  temp.write("c.xib", "");
  ASSERT_EQ(iterator.next()->name(), "a.xib");
  EXPECT_EQ(iterator.next(), std::nullopt);
}

}  // namespace
}  // namespace korvaster::files
