#include "core/strategies/modify_source_code_strategy.h"

#include "core/errors/korvast_error.h"
#include "core/logging/progress_line.h"
#include "core/strategies/command_outputs.h"
#include "files/file_io_error.h"
#include "files/path_glob.h"
#include "support/text_format.h"

namespace korvaster {

namespace {

// Whether an exclude glob takes `path`, judged by its part below `root` (ending with "/").
bool isExcluded(const std::string& path, const std::string& root, const std::vector<std::string>& excluded) {
  const bool below = path.compare(0, root.size(), root) == 0;
  return !excluded.empty() && files::isExcludedByGlobs(excluded, below ? path.substr(root.size()) : path);
}

// The found files less those an exclude glob takes.
std::vector<files::File> withoutExcluded(std::vector<files::File> found, const std::string& root,
                                         const std::vector<std::string>& excluded) {
  if (excluded.empty()) return found;
  std::vector<files::File> kept;
  for (auto& file : found) {
    if (!isExcluded(file.path(), root, excluded)) kept.push_back(std::move(file));
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

}  // namespace

CommandOutcome ModifySourceCodeStrategy::run(const Arguments& arguments, const KorvastFileManager& fileManager,
                                             RunReport* report) {
  const std::string path = modify(arguments, fileManager, report).path;
  return {path, support::replacingFirst(Constants::CommandOutputs::Modify, "%@", path)};
}

ModifySourceCodeStrategy::ModifiedProject ModifySourceCodeStrategy::modify(const Arguments& arguments,
                                                                           const KorvastFileManager& fileManager,
                                                                           RunReport* report) {
  const auto projectPath = lookup(arguments, ArgumentType::projectPath);
  if (!projectPath) throw KorvastError::missedProjectPath();
  const auto outputPath = lookup(arguments, ArgumentType::outputPath);
  return copyAndModifyProject(*projectPath, fileManager, outputPath, lookupAll(arguments, ArgumentType::exclude),
                              fileManager.logger(), report);
}

ModifySourceCodeStrategy::ModifiedProject ModifySourceCodeStrategy::copyAndModifyProject(
    const std::string& projectPath, const KorvastFileManager& fileManager,
    const std::optional<std::string>& destination, const std::vector<std::string>& excluded,
    const std::shared_ptr<Logger>& logger, RunReport* report) {
  ProgressLine progress;
  progress.show("Copying the project...");
  ProjectCopy copy = fileManager.copy(projectPath, destination);
  if (report) report->copyPath = copy.path();
  copy.replaceLinksLeadingOut();
  const std::string& root = copy.workFolder().path();
  InterfaceBuilderSearchNotes notes;
  const auto ibFiles = withoutExcluded(fileManager.findIBFiles(copy, &notes), root, excluded);
  // What such a link leads to is not the project's, so it is left alone (a copy has already
  // replaced such links with files of its own, where it could).
  for (const auto& link : notes.linksLeadingOut) {
    if (isExcluded(link, root, excluded) || !logger) continue;
    logger->log(LogLevel::Warning, [&] {
      return copy.shownPath(link) + " is a link to a file outside the project; it is left as it is.";
    });
  }
  // A folder the search could not list may hold files the pass would have changed: each is
  // a failed item, as a file that cannot be read is.
  std::vector<IBFileOutcome> unlisted;
  for (const auto& folder : notes.unlistedFolders) {
    if (isExcluded(folder.path, root, excluded)) continue;
    IBFileOutcome outcome;
    outcome.path = copy.shownPath(folder.path);
    outcome.error = "could not list " + outcome.path + ": " + folder.reason;
    if (logger) {
      logger->log(LogLevel::Error, [&] {
        return "Can't read folder, Description: " + folder.reason + " (in " + outcome.path + ")";
      });
    }
    unlisted.push_back(std::move(outcome));
  }
  if (ibFiles.empty() && unlisted.empty() && logger) {
    logger->log(LogLevel::Warning, [] {
      return "Nor xib not storyboards were found. AccessibilityIdentifiers were not changed.";
    });
  }
  // No one sees a copy before it is committed, so its files need no atomic replacement.
  IdentifierPassSummary pass = fileManager.modifyAccessibilityId(
      ibFiles, [&](const std::string& path) { return copy.shownPath(path); },
      copy.isCopy() ? IBFileWrite::inPlace : IBFileWrite::atomically,
      [&] { progress.advance("Adding identifiers", ibFiles.size()); });
  pass.files.insert(pass.files.end(), unlisted.begin(), unlisted.end());
  if (report) report->identifierPass = pass;
  if (!pass.allSucceeded() && logger) {
    logger->log(LogLevel::Error, [] { return "XIB files modifications finished with error(s)."; });
  }
  // With no file found, the warning above has said all there is.
  if (!pass.files.empty() && logger) logger->log(LogLevel::Info, [&] { return summaryLine(pass); });
  // A file the disk would not take fails the run: a copy short of its identifiers must not
  // replace a complete earlier one, and in place the files not yet rewritten stay as they were.
  if (const IBFileOutcome* failed = pass.firstWriteFailure()) {
    throw files::FileIOError(files::FileIOError::Case::writeFailed, failed->path, *failed->writeFailure);
  }
  // Only a copy whose every file has been through the pass takes the place of the earlier one.
  copy.commit();
  return {copy.path(), copy.isCopy()};
}

}  // namespace korvaster
