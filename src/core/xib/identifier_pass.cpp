#include "core/xib/identifier_pass.h"

#include <set>

#include "core/xib/interface_builder_pass.h"
#include "files/file_io_error.h"
#include "files/path_text.h"
#include "support/interruption.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

// Does one file's job, filling in its outcome; returns the line to log for it, or nothing.
std::pair<LogLevel, std::string> rewriteFile(const IBFileJob& job, const InterfaceBuilderPass& pass,
                                             std::size_t index, IBFileOutcome& outcome) {
  const auto error = [](std::string line) { return std::make_pair(LogLevel::Error, std::move(line)); };
  // The parser's words say where in the file; these say which file.
  const std::string inFile = " (in " + outcome.path + ")";
  try {
    outcome.counts = job(pass.place(index), index);
    if (!outcome.counts.otherNamesKeptOldContents) return {};
    return {LogLevel::Warning, outcome.path +
                                   " had other hard links; it was replaced under this name, and the "
                                   "others keep its old contents."};
  } catch (const support::Interrupted&) {
    throw;
  } catch (const files::FileIOError& failure) {
    // Named by its place as the user sees it: a staging path means nothing once it is gone.
    const bool writing = failure.errorCase() == files::FileIOError::Case::writeFailed;
    if (writing) outcome.writeFailure = failure.reason();
    outcome.error = std::string(writing ? "could not write " : "could not read ") + outcome.path + ": " +
                    failure.reason();
    return error(std::string(writing ? "Can't write file, Description: " : "Can't read file, Description: ") +
                 failure.reason() + inFile);
  } catch (const xml::XmlError& failure) {
    outcome.error = support::genericDescription(failure);
    const char* prefix = failure.errorCase() == xml::XmlError::Case::parsingFailed
                             ? "Can't parse XML file. Description: "
                             : "Can't read file, Description: ";
    return error(prefix + *outcome.error + inFile);
  } catch (const std::exception& failure) {
    outcome.error = support::genericDescription(failure);
    return error("Can't read file, Description: " + *outcome.error + inFile);
  }
}

// Removes what killed rewrites left in the folder of entry `index`; a folder that cannot be
// reached is left to that entry's own job, which says why.
void tidy(const InterfaceBuilderPass& pass, std::size_t index) {
  try {
    pass.place(index).folder->removeAbandonedTemporaries();
  } catch (const files::FileIOError&) {
  }
}

}  // namespace

IdentifierPassSummary runIdentifierPass(const files::FileManager& system,
                                        const std::shared_ptr<files::OpenedFolder>& root,
                                        const std::vector<files::File>& ibFiles,
                                        const std::shared_ptr<Logger>& logger, std::size_t workers,
                                        const std::function<std::string(const std::string&)>& shownPath,
                                        IBFileWrite write, const std::function<void()>& onFileDone) {
  return runInterfaceBuilderJobs(
      system, root, ibFiles, logger, workers, shownPath, write == IBFileWrite::atomically,
      [&](const files::FilePlace& place, std::size_t) { return addAccessibilityIdentifiers(place, write); },
      [&](std::size_t) {
        if (onFileDone) onFileDone();
      });
}

IdentifierPassSummary runInterfaceBuilderJobs(const files::FileManager& system,
                                              const std::shared_ptr<files::OpenedFolder>& root,
                                              const std::vector<files::File>& ibFiles,
                                              const std::shared_ptr<Logger>& logger, std::size_t workers,
                                              const std::function<std::string(const std::string&)>& shownPath,
                                              bool writesInPlace, const IBFileJob& job,
                                              const std::function<void(std::size_t)>& onFileDone) {
  std::vector<std::string> paths;
  paths.reserve(ibFiles.size());
  for (const auto& file : ibFiles) paths.push_back(file.path());
  const InterfaceBuilderPass pass(system, paths, root);
  IdentifierPassSummary summary;
  summary.files.resize(ibFiles.size());
  // Held until the lines of every file before it are written.
  std::vector<std::pair<LogLevel, std::string>> lines(ibFiles.size());
  std::set<std::string> tidiedFolders;
  for (std::size_t index = 0; index < ibFiles.size(); ++index) {
    summary.files[index].path = shownPath ? shownPath(paths[index]) : paths[index];
    // A rewrite that was killed left its temporary file beside the file; a live run's is
    // locked and stays. A copy is new: only a rewrite in place can have left one.
    const std::string folder = files::folderAndName(pass.realPath(index)).first;
    if (writesInPlace && !folder.empty() && tidiedFolders.insert(folder).second) tidy(pass, index);
  }
  pass.run(workers, [&](std::size_t index) { lines[index] = rewriteFile(job, pass, index, summary.files[index]); },
           [&](std::size_t index) {
             if (!lines[index].second.empty() && logger)
               logger->log(lines[index].first, [&] { return lines[index].second; });
             if (onFileDone) onFileDone(index);
           });
  return summary;
}

}  // namespace korvaster
