// The unified diff a list of edits makes, found from the edits alone (no search between the
// two texts), so that it costs time and memory in proportion to the text whatever its line
// lengths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/text_edits.h"

namespace korvaster::support {

class OutputByteStream;

// The unified diff that turns `before` into appliedEdits(before, edits), as `patch -p1` and
// `git apply` read it: three lines of context, hunks closer than twice that merged, under the
// headers "--- a/`path`" and "+++ b/`path`" (each with a tab after a path with a space, quoted
// with C escapes when it holds a control character, a quote or a backslash); empty when there
// are no edits. Lines are compared with their endings, so a carriage return is part of its
// line, and a last line without a line feed is followed by "\ No newline at end of file". An
// old line an edit leaves at the head or tail of what replaces it counts as unchanged, and
// adjacent changed lines show their removed lines before their added ones.
std::string unifiedDiff(std::string_view before, const std::vector<TextEdit>& edits, std::string_view path);

// The same diff written to `out` as it is made, so that it is never held whole.
void writeUnifiedDiff(std::string_view before, const std::vector<TextEdit>& edits, std::string_view path,
                      OutputByteStream& out);

}  // namespace korvaster::support
