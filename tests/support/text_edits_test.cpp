#include "support/text_edits.h"
#include "support/unified_diff.h"

#include <gtest/gtest.h>

namespace korvaster::support {
namespace {

std::string numbered(int from, int to) {
  std::string text;
  for (int line = from; line <= to; ++line) text += std::to_string(line) + "\n";
  return text;
}

TEST(TextEditsTest, HunksWithThreeLinesOfContext) {
  const std::string head = "--- a/x.xib\n+++ b/x.xib\n";
  const struct {
    std::string before;
    std::vector<TextEdit> edits;
    std::string diff;
  } cases[] = {
      {"a\n", {}, ""},
      // One line added in the middle of twenty.
      {numbered(1, 20), {{21, 0, "new\n"}}, head + "@@ -8,6 +8,7 @@\n 8\n 9\n 10\n+new\n 11\n 12\n 13\n"},
      // At the very start, and into an empty file, whose empty range names the line before it.
      {"b\n", {{0, 0, "a\n"}}, head + "@@ -1,1 +1,2 @@\n+a\n b\n"},
      {"", {{0, 0, "a\n"}}, head + "@@ -0,0 +1,1 @@\n+a\n"},
      // Changes six lines apart share a hunk; seven apart do not.
      {numbered(1, 9),
       {{0, 0, "x\n"}, {12, 0, "y\n"}},
       head + "@@ -1,9 +1,11 @@\n+x\n 1\n 2\n 3\n 4\n 5\n 6\n+y\n 7\n 8\n 9\n"},
      {numbered(1, 10),
       {{0, 0, "x\n"}, {14, 0, "y\n"}},
       head + "@@ -1,3 +1,4 @@\n+x\n 1\n 2\n 3\n@@ -5,6 +6,7 @@\n 5\n 6\n 7\n+y\n 8\n 9\n 10\n"},
      // A changed line is removed and added; carriage returns stay part of their lines.
      {"a\r\nb\r\nc\r\n", {{3, 1, "B"}}, head + "@@ -1,3 +1,3 @@\n a\r\n-b\r\n+B\r\n c\r\n"},
      // An old line left whole at the head or tail of its new lines is unchanged; adjacent
      // changed lines are removed before they are added.
      {"a\nb\n", {{1, 0, "\nn"}}, head + "@@ -1,2 +1,3 @@\n a\n+n\n b\n"},
      {"a\nb\nc\n",
       {{0, 1, "A"}, {2, 0, "B\n"}, {5, 0, "\nn"}},
       head + "@@ -1,3 +1,5 @@\n-a\n+A\n+B\n b\n c\n+n\n"},
      {"a\nb\n", {{0, 0, "<"}, {3, 0, ">"}}, head + "@@ -1,2 +1,2 @@\n-a\n-b\n+<a\n+b>\n"},
      // Many edits on one long line.
      {"<r><v/><v/></r>",
       {{5, 2, ">\n<i/>\n</v>"}, {9, 2, ">\n<j/>\n</v>"}},
       head + "@@ -1,1 +1,5 @@\n-<r><v/><v/></r>\n\\ No newline at end of "
              "file\n+<r><v>\n+<i/>\n+</v><v>\n+<j/>\n"
              "+</v></r>\n\\ No newline at end of file\n"},
      // A last line without a line feed is marked, before and after.
      {"a\nb", {{2, 0, "n\n"}}, head + "@@ -1,2 +1,3 @@\n a\n+n\n b\n\\ No newline at end of file\n"},
      {"a\nb", {{3, 0, "\n"}}, head + "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(unifiedDiff(c.before, c.edits, "x.xib"), c.diff) << c.before;
}

// Names are written as patch and git apply read them back: up to a tab after a space, and
// quoted with C escapes when they hold a tab, a quote, a backslash or a control character.
TEST(TextEditsTest, NamesAreWrittenSoThatPatchReadsThemBack) {
  const struct {
    std::string path, header;
  } cases[] = {
      {"My App/x.xib", "--- a/My App/x.xib\t\n+++ b/My App/x.xib\t\n"},
      {"\xC3\xA9/x.xib", "--- a/\xC3\xA9/x.xib\n+++ b/\xC3\xA9/x.xib\n"},
      {"a\tb/\"q\"\\x\x01.xib",
       "--- \"a/a\\tb/\\\"q\\\"\\\\x\\001.xib\"\n+++ \"b/a\\tb/\\\"q\\\"\\\\x\\001.xib\"\n"},
      {"\xC2\x9b\xC2\xA0.xib", "--- \"a/\\302\\233\xC2\xA0.xib\"\n+++ \"b/\\302\\233\xC2\xA0.xib\"\n"},  // C1, then no-break space
  };
  for (const auto& c : cases)
    EXPECT_EQ(unifiedDiff("a\n", {{0, 1, "b"}}, c.path), c.header + "@@ -1,1 +1,1 @@\n-a\n+b\n");
}

}  // namespace
}  // namespace korvaster::support
