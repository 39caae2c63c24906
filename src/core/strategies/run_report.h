// RunReport: what one run of `modify` or `build` did, filled in by the workflows as they go
// and written as JSON for --report, whether the run succeeded or not.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/xib/identifier_pass.h"

namespace korvaster {

struct RunReport {
  struct XcodebuildRun {
    std::string action;  // "archive" or "export"
    int exitStatus = 0;
    // Where its output was kept; nothing when it could not be.
    std::optional<std::string> logPath;
  };

  std::string command;
  // The modified copy (the project itself when changed in place); nothing before the copy.
  std::optional<std::string> copyPath;
  // The copy was removed once the build was done.
  bool copyRemoved = false;
  // Nothing when the run ended before the identifier pass.
  std::optional<IdentifierPassSummary> identifierPass;
  std::optional<std::string> archivePath;
  // The clean-up removed the archive at archivePath.
  bool archiveRemoved = false;
  std::vector<XcodebuildRun> xcodebuildRuns;
  // The .ipa files this run's export made or replaced.
  std::vector<std::string> ipaFiles;
  // "succeeded", "failed" or "interrupted".
  std::string status;
  // The report line of a run that did not succeed.
  std::optional<std::string> error;
  // What lay behind that error, where the run knows more than its fixed message says.
  std::optional<std::string> errorCause;
  double durationSeconds = 0;
};

// The sums over one identifier pass: `updated` counts the files that got at least one
// identifier, `failed` those left unchanged by an error; the counts add up the others.
struct IdentifierPassTotals {
  std::size_t files = 0;
  std::size_t updated = 0;
  std::size_t failed = 0;
  IdentifierCounts counts;
};
IdentifierPassTotals totalsOf(const IdentifierPassSummary& pass);

// The report as one JSON document.
std::string reportJson(const RunReport& report);

}  // namespace korvaster
