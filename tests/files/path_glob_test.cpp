// Which project-relative paths a glob takes, and which it must leave alone.
#include "files/path_glob.h"

#include <gtest/gtest.h>

namespace korvaster::files {
namespace {

TEST(PathGlobTest, StarStaysWithinANameAndDoubleStarCrossesFolders) {
  const struct {
    const char* pattern;
    const char* path;
    bool matches;
  } cases[] = {
      {"*.xib", "Main.xib", true},
      {"*.xib", "Views/Main.xib", false},
      {"Views/*.xib", "Views/Main.xib", true},
      {"Views/*", "Views/Sub/Main.xib", false},
      {"**/Main.xib", "Main.xib", true},
      {"**/Main.xib", "a/b/c/Main.xib", true},
      {"Pods/**", "Pods/A/B/C.xib", true},
      {"Pods/**", "PodsX/C.xib", false},
      {"a/**/b/*.storyboard", "a/x/y/b/M.storyboard", true},
      {"a/**/b/*.storyboard", "a/b/M.storyboard", true},
      {"a/**/b/*.storyboard", "a/x/c/M.storyboard", false},
      {"M?in.xib", "Main.xib", true},
      {"M?in.xib", "M/in.xib", false},
      {"*Cell*.xib", "Cells/TableCellView.xib", false},
      {"**/*Cell*.xib", "Cells/TableCellView.xib", true},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"Main.xib*", "Main.xib", true},
      {"./Pods/", "Pods", true},
      {"Base.lproj/Main.storyboard", "Base.lproj/Main.storyboard", true},
      {"Base.lproj/Main.storyboard", "Base.lproj/Main.storyboards", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(matchesGlob(c.pattern, c.path), c.matches) << c.pattern << " " << c.path;
}

TEST(PathGlobTest, APatternThatNamesAFolderExcludesEverythingInIt) {
  const std::vector<std::string> patterns{"Pods", "Carthage/Checkouts", "**/Generated/*.xib"};
  EXPECT_TRUE(isExcludedByGlobs(patterns, "Pods/Lib/View.xib"));
  EXPECT_TRUE(isExcludedByGlobs(patterns, "Carthage/Checkouts/X/Y.storyboard"));
  EXPECT_TRUE(isExcludedByGlobs(patterns, "App/Generated/Cell.xib"));
  EXPECT_FALSE(isExcludedByGlobs(patterns, "Carthage/Build/Y.storyboard"));
  EXPECT_FALSE(isExcludedByGlobs(patterns, "App/Pods.xib"));
  EXPECT_FALSE(isExcludedByGlobs({}, "Pods/Lib/View.xib"));
}

// A settings file's globs, for a run in a folder below the file's own.
TEST(PathGlobTest, GlobsBelowAFolderTakeThereWhatThePatternTook) {
  const struct {
    const char* pattern;
    const char* folder;
    std::vector<std::string> globs;
  } cases[] = {
      {"App/Pods/**", "App", {"Pods/**"}},         {"*/Pods", "App/Sub", {}},
      {"App", "App/Sub", {"**"}},                  {"Other/**", "App", {}},
      {"A*/**/x.xib", "App/Sub", {"**/x.xib", "x.xib"}},
  };
  for (const auto& c : cases) EXPECT_EQ(globsBelow(c.pattern, c.folder), c.globs) << c.pattern << " in " << c.folder;
}

}  // namespace
}  // namespace korvaster::files
