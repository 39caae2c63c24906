// What one identifier pass did, file by file, for the run's summary line and its report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/xib/accessibility_identifiers.h"

namespace korvaster {

struct IBFileOutcome {
  // As log lines show it.
  std::string path;
  IdentifierCounts counts;
  // Why the file was left as it was; nothing when it was rewritten.
  std::optional<std::string> error;
};

struct IdentifierPassSummary {
  // In the order the files were given.
  std::vector<IBFileOutcome> files;

  bool allSucceeded() const {
    for (const auto& file : files) {
      if (file.error) return false;
    }
    return true;
  }
};

}  // namespace korvaster
