#include "files/contents_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#if defined(__linux__)
#include <sys/fsuid.h>
#endif

#include "files/file_io_error.h"
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

// Only a replacement that may create the file makes a missing one (with the bits 0644, whatever
// the process's mask); any other fails as it commits and leaves nothing behind, not even its
// temporary file.
TEST(ContentsReplacementTest, AMissingFileIsMadeOnlyWhenTheReplacementMayCreateIt) {
  const struct {
    ContentsReplacement::Mode mode;
    bool mayCreate;
    bool made;
  } cases[] = {
      {ContentsReplacement::Mode::atomically, true, true},
      {ContentsReplacement::Mode::atomically, false, false},
      {ContentsReplacement::Mode::inPlace, true, false},  // a file in place is one that exists
  };
  for (const auto& c : cases) {
    korvaster::testing::TemporaryFolder temp;
    const std::string path = temp / "report.json";
    const std::string where = "mode " + std::to_string(static_cast<int>(c.mode)) + ", mayCreate " +
                              std::to_string(c.mayCreate);
    const mode_t previousMask = ::umask(077);
    try {
      ContentsReplacement replacement(path, c.mode, {}, c.mayCreate);
      replacement.write("{}\n");
      replacement.commit();
      EXPECT_TRUE(c.made) << where;
    } catch (const FileIOError& error) {
      EXPECT_FALSE(c.made) << where;
      EXPECT_EQ(error.errorCase(), FileIOError::Case::writeFailed) << where;
    }
    ::umask(previousMask);
    if (c.made) {
      EXPECT_EQ(readFile(path), "{}\n") << where;
      EXPECT_EQ(korvaster::testing::permissionsOf(path), 0644u) << where;
    }
    EXPECT_EQ(korvaster::testing::entryNames(temp.path()),
              c.made ? std::vector<std::string>{"report.json"} : std::vector<std::string>{})
        << where;
  }
}

#if defined(__linux__)
// A read-only file in a copy (some checkouts make every file so) still gets its new contents,
// and keeps its bits. Root is let through the bits, so the file is opened as another user.
TEST(ContentsReplacementTest, InPlaceAReadOnlyFileIsReplacedBesideItself) {
  korvaster::testing::TemporaryFolder temp;
  const std::string original = "<document/>";
  const std::string path = temp.write("a.xib", original);
  ASSERT_EQ(::chmod(temp.path().c_str(), 0777) + ::chmod(path.c_str(), 0444), 0);
  const auto previous = static_cast<uid_t>(::setfsuid(65534));
  try {
    ContentsReplacement replacement(path, ContentsReplacement::Mode::inPlace, original);
    EXPECT_TRUE(replacement.write("<document>new</document>"));
    replacement.commit();
  } catch (const std::exception& error) {
    ADD_FAILURE() << error.what();
  }
  ::setfsuid(previous);
  EXPECT_EQ(readFile(path), "<document>new</document>");
  EXPECT_EQ(korvaster::testing::permissionsOf(path), 0444u);
}
#endif

}  // namespace
}  // namespace korvaster::files
