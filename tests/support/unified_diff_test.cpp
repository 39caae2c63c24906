#include "support/unified_diff.h"

#include <gtest/gtest.h>

namespace korvaster::support {
namespace {

std::string numbered(int from, int to, const std::string& end = "\n") {
  std::string text;
  for (int line = from; line <= to; ++line) text += std::to_string(line) + end;
  return text;
}

TEST(UnifiedDiffTest, HunksWithThreeLinesOfContext) {
  const std::string head = "--- a/x.xib\n+++ b/x.xib\n";
  const struct {
    std::string before, after, diff;
  } cases[] = {
      {"a\n", "a\n", ""},
      // One line added in the middle of twenty.
      {numbered(1, 20), numbered(1, 10) + "new\n" + numbered(11, 20),
       head + "@@ -8,6 +8,7 @@\n 8\n 9\n 10\n+new\n 11\n 12\n 13\n"},
      // At the very start, and into an empty file, whose empty range names the line before it.
      {"b\n", "a\nb\n", head + "@@ -1,1 +1,2 @@\n+a\n b\n"},
      {"", "a\n", head + "@@ -0,0 +1,1 @@\n+a\n"},
      // Changes six lines apart share a hunk; seven apart do not.
      {numbered(1, 9), "x\n" + numbered(1, 6) + "y\n" + numbered(7, 9),
       head + "@@ -1,9 +1,11 @@\n+x\n 1\n 2\n 3\n 4\n 5\n 6\n+y\n 7\n 8\n 9\n"},
      {numbered(1, 10), "x\n" + numbered(1, 7) + "y\n" + numbered(8, 10),
       head + "@@ -1,3 +1,4 @@\n+x\n 1\n 2\n 3\n@@ -5,6 +6,7 @@\n 5\n 6\n 7\n+y\n 8\n 9\n 10\n"},
      // A changed line is removed and added; carriage returns stay part of their lines.
      {"a\r\nb\r\nc\r\n", "a\r\nB\r\nc\r\n", head + "@@ -1,3 +1,3 @@\n a\r\n-b\r\n+B\r\n c\r\n"},
      // A last line without a line feed is marked, before and after.
      {"a\nb", "a\nn\nb", head + "@@ -1,2 +1,3 @@\n a\n+n\n b\n\\ No newline at end of file\n"},
      {"a\nb", "a\nb\n", head + "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(unifiedDiff(c.before, c.after, "x.xib"), c.diff) << c.after;
}

// Names are written as patch and git apply read them back: up to a tab after a space, and
// quoted with C escapes when they hold a tab, a quote, a backslash or a control character.
TEST(UnifiedDiffTest, NamesAreWrittenSoThatPatchReadsThemBack) {
  const struct {
    std::string path, header;
  } cases[] = {
      {"My App/x.xib", "--- a/My App/x.xib\t\n+++ b/My App/x.xib\t\n"},
      {"\xC3\xA9/x.xib", "--- a/\xC3\xA9/x.xib\n+++ b/\xC3\xA9/x.xib\n"},
      {"a\tb/\"q\"\\x\x01.xib", "--- \"a/a\\tb/\\\"q\\\"\\\\x\\001.xib\"\n+++ \"b/a\\tb/\\\"q\\\"\\\\x\\001.xib\"\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(unifiedDiff("a\n", "b\n", c.path), c.header + "@@ -1,1 +1,1 @@\n-a\n+b\n");
}

}  // namespace
}  // namespace korvaster::support
