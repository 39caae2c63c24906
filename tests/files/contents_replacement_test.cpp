#include "files/contents_replacement.h"

#include <gtest/gtest.h>

#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::readFile;

// A file in a copy is written over where it lies: shorter contents must not keep the old
// tail, and contents never committed must give the old ones back.
TEST(ContentsReplacementTest, InPlaceTheFileEndsWhereTheNewContentsEndOrKeepsItsOldOnes) {
  korvaster::testing::TemporaryFolder temp;
  const std::string original = "<document>old, and longer than what replaces it</document>";
  const std::string path = temp.write("a.xib", original);
  {
    ContentsReplacement replacement(path, ContentsReplacement::Mode::inPlace, original);
    ASSERT_TRUE(replacement.write("<document>new"));
  }
  EXPECT_EQ(readFile(path), original);
  ContentsReplacement replacement(path, ContentsReplacement::Mode::inPlace, original);
  ASSERT_TRUE(replacement.write("<document>"));
  ASSERT_TRUE(replacement.write("new</document>"));
  replacement.commit();
  EXPECT_EQ(readFile(path), "<document>new</document>");
}

}  // namespace
}  // namespace korvaster::files
