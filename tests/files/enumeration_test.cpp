#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_system_sequence.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using Paths = std::vector<std::string>;

class EnumerationTest : public ::testing::Test {
 protected:
  // The items' paths relative to the temporary folder.
  template <typename Item>
  Paths relative(const FileSystemSequence<Item>& sequence) {
    Paths paths;
    for (const auto& item : sequence) paths.push_back(item.path().substr(temp.path().size() + 1));
    return paths;
  }
  korvaster::testing::TemporaryFolder temp;
  Folder root{temp.path()};
};

TEST_F(EnumerationTest, EntriesInNameOrderThenEachSubfolderOnceAndNoHiddenOnes) {
  for (const char* name : {"b.xib", "a.xib", "Z.xib", "sub/c.xib", "sub/inner/d.xib", "sub/e.xib", "aaa/f.xib",
                           ".hidden.xib", ".git/config.xib", "outside/o.xib"}) {
    temp.write(name, "");
  }
  // Linked folders are entered, but each folder is walked once, however many ways lead to it.
  ASSERT_EQ(::symlink(temp.path().c_str(), (temp / "sub/loop").c_str()), 0);
  ASSERT_EQ(::symlink((temp / "outside").c_str(), (temp / "out").c_str()), 0);
  EXPECT_EQ(relative(root.makeFileSequence(true)), (Paths{"Z.xib", "a.xib", "b.xib", "aaa/f.xib", "out/o.xib",
                                                          "sub/c.xib", "sub/e.xib", "sub/inner/d.xib"}));
  EXPECT_EQ(relative(root.subfolders()), (Paths{"aaa/", "out/", "outside/", "sub/"}));
}

TEST_F(EnumerationTest, WhatHasGoneOrCannotBeListedIsSkipped) {
  temp.write("a.xib", "");
  temp.write("b.xib", "");
  auto iterator = root.makeFileSequence(true).makeIterator();
  std::filesystem::remove(temp / "b.xib");
  temp.write("c.xib", "");
  ASSERT_EQ(iterator.next()->name(), "a.xib");
  EXPECT_EQ(iterator.next(), std::nullopt);

  temp.write("locked/x.xib", "");
  ASSERT_EQ(::symlink("/nonexistent/korvaster", (temp / "dangling").c_str()), 0);
  ASSERT_EQ(::chmod((temp / "locked").c_str(), 0), 0);
  // Root lists every folder; for others an unreadable folder enumerates as empty.
  Paths expected{"a.xib", "c.xib"};
  if (::geteuid() == 0) expected.push_back("locked/x.xib");
  EXPECT_EQ(relative(root.makeFileSequence(true)), expected);
}

}  // namespace
}  // namespace korvaster::files
