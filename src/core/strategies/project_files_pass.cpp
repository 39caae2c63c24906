#include "core/strategies/project_files_pass.h"

#include "core/filemanager/named_interface_builder_files.h"
#include "core/filemanager/project_exclusion.h"
#include "core/logging/progress_line.h"
#include "files/file_io_error.h"

namespace korvaster {

namespace {

// The found files less those an exclude glob takes.
std::vector<files::File> withoutExcluded(std::vector<files::File> found, const ProjectExclusion& exclusion) {
  std::vector<files::File> kept;
  for (auto& file : found) {
    if (!exclusion.takes(file.path())) kept.push_back(std::move(file));
  }
  return kept;
}

std::string summaryLine(const IdentifierPassSummary& pass) {
  const IdentifierPassTotals totals = totalsOf(pass);
  const auto plural = [](std::size_t count) { return count == 1 ? "" : "s"; };
  return "Updated " + std::to_string(totals.updated) + " of " + std::to_string(totals.files) +
         " Interface Builder file" + plural(totals.files) + ": " + std::to_string(totals.counts.added) +
         " identifier" + plural(totals.counts.added) + " added, " + std::to_string(totals.counts.kept) +
         " kept.";
}

// The entries of the search's failures, each logged in an Error line. A folder the search
// could not list may hold files the pass would have changed, and a named path that cannot be
// read is a file it would have: each is a failed item, as a file that cannot be read is.
std::vector<IBFileOutcome> failedEntries(const InterfaceBuilderSearchNotes& notes, const ProjectCopy& copy,
                                         const ProjectExclusion& exclusion, const std::shared_ptr<Logger>& logger) {
  std::vector<IBFileOutcome> failed;
  const auto add = [&](const files::Failure& failure, const char* verb, const char* line) {
    IBFileOutcome& outcome = failed.emplace_back();
    outcome.path = copy.shownPath(failure.path);
    outcome.error = verb + outcome.path + ": " + failure.reason;
    if (logger) logger->log(LogLevel::Error, [&] { return line + failure.reason + " (in " + outcome.path + ")"; });
  };
  for (const auto& folder : notes.unlistedFolders) {
    if (!exclusion.takes(folder.path)) add(folder, "could not list ", "Can't read folder, Description: ");
  }
  for (const auto& path : notes.unreadable) add(path, "could not read ", "Can't read file, Description: ");
  return failed;
}

}  // namespace

IdentifierPassSummary passOverProjectFiles(const ProjectCopy& copy, const KorvastFileManager& fileManager,
                                           const std::vector<std::string>& excluded,
                                           const std::shared_ptr<Logger>& logger, RunReport* report,
                                           const ProjectFilesPass& pass, const std::vector<std::string>& named) {
  const ProjectExclusion exclusion(excluded, copy.workFolder().path(), *fileManager.system());
  InterfaceBuilderSearchNotes notes;
  const auto ibFiles = withoutExcluded(
      named.empty() ? fileManager.findIBFiles(copy, &notes)
                    : findNamedInterfaceBuilderFiles(copy.workFolder(), named, notes, &exclusion),
      exclusion);
  // What such a link leads to is not the project's, so it is left alone (a copy has already
  // replaced such links with files of its own, where it could).
  for (const auto& link : notes.linksLeadingOut) {
    if (exclusion.takes(link) || !logger) continue;
    logger->log(LogLevel::Warning, [&] {
      return copy.shownPath(link) + " is a link to a file outside the project; it is left as it is.";
    });
  }
  std::vector<IBFileOutcome> unlisted = failedEntries(notes, copy, exclusion, logger);
  if (ibFiles.empty() && unlisted.empty() && logger) {
    logger->log(LogLevel::Warning, [] {
      return "Nor xib not storyboards were found. AccessibilityIdentifiers were not changed.";
    });
  }
  ProgressLine progress(fileManager.terminal());
  IdentifierPassSummary summary = pass(
      ibFiles, [&](const std::string& path) { return copy.shownPath(path); },
      [&] { progress.advance("Adding identifiers", ibFiles.size()); });
  summary.files.insert(summary.files.end(), unlisted.begin(), unlisted.end());
  if (report) report->identifierPass = summary;
  if (!summary.allSucceeded() && logger) {
    logger->log(LogLevel::Error, [] { return "XIB files modifications finished with error(s)."; });
  }
  // With no file found, the warning above has said all there is.
  if (!summary.files.empty() && logger) logger->log(LogLevel::Info, [&] { return summaryLine(summary); });
  // A file the disk would not take fails the run: a copy short of its identifiers must not
  // replace a complete earlier one, and in place the files not yet rewritten stay as they were.
  if (const IBFileOutcome* failed = summary.firstWriteFailure()) {
    throw files::FileIOError(files::FileIOError::Case::writeFailed, failed->path, *failed->writeFailure);
  }
  return summary;
}

}  // namespace korvaster
