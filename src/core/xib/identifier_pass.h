// What one identifier pass did, file by file, for the run's summary line and its report.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/logging/logger.h"
#include "core/xib/identifier_counts.h"
#include "core/xib/interface_builder_file.h"
#include "files/file.h"
#include "files/file_manager.h"

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

// Gives the views of each file their accessibility identifiers and rewrites the file as
// `write` says, reaching it from `root` (the project's folder, held open), keeping every text
// as it was, on the Interface Builder pass (side by side, results in the files' order). A file
// that fails is logged at level Error (named as `shownPath` gives it), counted and left whole.
// `onFileDone` is called as each file is done, in order. Returns each file's outcome, in the
// files' order, on up to `workers` threads. Throws only support::Interrupted, between two
// files or while one is read (that file left whole).
IdentifierPassSummary runIdentifierPass(const files::FileManager& system,
                                        const std::shared_ptr<files::OpenedFolder>& root,
                                        const std::vector<files::File>& files,
                                        const std::shared_ptr<Logger>& logger, std::size_t workers,
                                        const std::function<std::string(const std::string&)>& shownPath,
                                        IBFileWrite write, const std::function<void()>& onFileDone);

// One file's work in a pass, given where the file is read and written and its place in the
// list: returns what it found and did, or throws as addAccessibilityIdentifiers does.
using IBFileJob = std::function<IdentifierCounts(const files::FilePlace& place, std::size_t index)>;

// The pass behind runIdentifierPass, with any per-file `job`: each failure is logged and
// counted as there (a file whose folder on the way from `root` is no longer a folder too),
// a file replaced under one of several hard links is named in a Warning line, and
// `onFileDone(i)` is called with each entry's index in order, once its
// job is done and its line logged. `writesInPlace` says that the job replaces the project's
// own files, so that temporary files an earlier killed rewrite left beside them go first.
IdentifierPassSummary runInterfaceBuilderJobs(const files::FileManager& system,
                                              const std::shared_ptr<files::OpenedFolder>& root,
                                              const std::vector<files::File>& files,
                                              const std::shared_ptr<Logger>& logger, std::size_t workers,
                                              const std::function<std::string(const std::string&)>& shownPath,
                                              bool writesInPlace, const IBFileJob& job,
                                              const std::function<void(std::size_t)>& onFileDone);

}  // namespace korvaster
