#include "support/text_edits.h"
#include "support/unified_diff.h"

#include <gtest/gtest.h>

#include "golden.h"

namespace korvaster::support {
namespace {

std::string numbered(int from, int to) {
  std::string text;
  for (int line = from; line <= to; ++line) text += std::to_string(line) + "\n";
  return text;
}

// Each case's diff, against the approved text: hunks with three lines of context, and names
// written as patch and git apply read them back (up to a tab after a space, and quoted with C
// escapes when they hold a tab, a quote, a backslash or a control character).
TEST(TextEditsTest, HunksWithThreeLinesOfContextAndNamesThatPatchReadsBack) {
  const struct {
    const char* what;
    std::string before;
    std::vector<TextEdit> edits;
  } cases[] = {
      {"no edit, no diff", "a\n", {}},
      {"one line added in the middle of twenty", numbered(1, 20), {{21, 0, "new\n"}}},
      {"at the very start", "b\n", {{0, 0, "a\n"}}},
      {"into an empty file, whose empty range names the line before it", "", {{0, 0, "a\n"}}},
      {"changes six lines apart share a hunk", numbered(1, 9), {{0, 0, "x\n"}, {12, 0, "y\n"}}},
      {"changes seven lines apart do not", numbered(1, 10), {{0, 0, "x\n"}, {14, 0, "y\n"}}},
      {"a changed line is removed and added; carriage returns stay part of their lines", "a\r\nb\r\nc\r\n",
       {{3, 1, "B"}}},
      {"an old line left whole at the head of its new lines is unchanged", "a\nb\n", {{1, 0, "\nn"}}},
      {"adjacent changed lines are removed before they are added", "a\nb\nc\n",
       {{0, 1, "A"}, {2, 0, "B\n"}, {5, 0, "\nn"}}},
      {"neither old line is left whole", "a\nb\n", {{0, 0, "<"}, {3, 0, ">"}}},
      {"many edits on one long line", "<r><v/><v/></r>", {{5, 2, ">\n<i/>\n</v>"}, {9, 2, ">\n<j/>\n</v>"}}},
      {"a last line without a line feed is marked before", "a\nb", {{2, 0, "n\n"}}},
      {"and after", "a\nb", {{3, 0, "\n"}}},
  };
  std::string diffs;
  for (const auto& c : cases) diffs += std::string("== ") + c.what + "\n" + unifiedDiff(c.before, c.edits, "x.xib");
  for (const char* path : {"My App/x.xib", "\xC3\xA9/x.xib", "a\tb/\"q\"\\x\x01.xib", "\xC2\x9b\xC2\xA0.xib"})
    diffs += std::string("== ") + path + "\n" + unifiedDiff("a\n", {{0, 1, "b"}}, path);
  testing::expectApproved("text-edits.txt", diffs);
}

}  // namespace
}  // namespace korvaster::support
