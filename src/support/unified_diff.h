// A unified diff of two texts, line by line, as `patch -p1` and `git apply` read it.
#pragma once

#include <string>
#include <string_view>

namespace korvaster::support {

// The diff that turns `before` into `after`, with three lines of context, under the headers
// "--- a/`path`" and "+++ b/`path`" (each with a tab after a path with a space); empty when the texts are equal. Lines are compared with
// their endings, so a carriage return is part of its line, and a last line without a line
// feed is followed by "\ No newline at end of file".
std::string unifiedDiff(std::string_view before, std::string_view after, std::string_view path);

}  // namespace korvaster::support
