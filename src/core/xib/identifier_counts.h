// What the identifier rules found in one Interface Builder file, for its log line, the run's
// summary and its report.
#pragma once

#include <cstddef>

namespace korvaster {

// The file's views, the identifiers they were given and the ones they already had.
struct IdentifierCounts {
  std::size_t views = 0;
  std::size_t added = 0;
  std::size_t kept = 0;
  // The file had other hard links, which a replacement beside it cannot keep: they still
  // hold the old contents.
  bool otherNamesKeptOldContents = false;
};

}  // namespace korvaster
