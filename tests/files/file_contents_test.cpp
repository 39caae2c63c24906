#include "files/file_contents.h"

#include <gtest/gtest.h>

#include "temporary_folder.h"

namespace korvaster::files {
namespace {

TEST(ReadContentsTest, StopsAtTheLimitEvenOnAnEndlessFile) {
  const korvaster::testing::TemporaryFolder temp;
  const std::string big(200000, 'x');
  const std::string path = temp.write("big", big);
  EXPECT_EQ(readContents(path, big.size() + 1), big);
  EXPECT_EQ(readContents(path, 70000), big.substr(0, 70000));
  EXPECT_EQ(readContents("/dev/zero", 100001), std::string(100001, '\0'));
}

}  // namespace
}  // namespace korvaster::files
