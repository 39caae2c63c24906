// What one identifier pass did, file by file, for the run's summary line and its report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/xib/identifier_counts.h"

namespace korvaster {

struct IBFileOutcome {
  // As log lines show it.
  std::string path;
  IdentifierCounts counts;
  // Why the file was left as it was; nothing when it was rewritten.
  std::optional<std::string> error;
  // The system's reason when the file could not be written for a reason of the file system
  // (no space, a read-only file system, no permission), not of its contents: the run as a
  // whole has failed.
  std::optional<std::string> writeFailure;
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
  // The first file that could not be written, or nothing.
  const IBFileOutcome* firstWriteFailure() const {
    for (const auto& file : files) {
      if (file.writeFailure) return &file;
    }
    return nullptr;
  }
};

}  // namespace korvaster
