#include "files/file_contents.h"

#include <gtest/gtest.h>

#include "temporary_folder.h"

namespace korvaster::files {
namespace {

TEST(ReadContentsTest, StopsAtTheLimit) {
  const korvaster::testing::TemporaryFolder temp;
  const std::string big(200000, 'x');
  const std::string path = temp.write("big", big);
  EXPECT_EQ(readContents(path, big.size() + 1), big);
  EXPECT_EQ(readContents(path, 70000), big.substr(0, 70000));
}

}  // namespace
}  // namespace korvaster::files
