#include "core/xib/identifier_pass.h"

#include <set>

#include "core/xib/interface_builder_pass.h"
#include "files/file_io_error.h"
#include "files/path_text.h"
#include "support/interruption.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

// Does one file's job, filling in its outcome; returns the Error line for it, or nothing.
std::string rewriteFile(const IBFileJob& job, const std::string& path, std::size_t index, IBFileOutcome& outcome) {
  // The parser's words say where in the file; these say which file.
  const std::string inFile = " (in " + outcome.path + ")";
  try {
    outcome.counts = job(path, index);
    return {};
  } catch (const support::Interrupted&) {
    throw;
  } catch (const files::FileIOError& error) {
    // Named by its place as the user sees it: a staging path means nothing once it is gone.
    const bool writing = error.errorCase() == files::FileIOError::Case::writeFailed;
    if (writing) outcome.writeFailure = error.reason();
    outcome.error = std::string(writing ? "could not write " : "could not read ") + outcome.path + ": " + error.reason();
    return std::string(writing ? "Can't write file, Description: " : "Can't read file, Description: ") +
           error.reason() + inFile;
  } catch (const xml::XmlError& error) {
    outcome.error = support::genericDescription(error);
    const char* prefix = error.errorCase() == xml::XmlError::Case::parsingFailed ? "Can't parse XML file. Description: "
                                                                                  : "Can't read file, Description: ";
    return prefix + *outcome.error + inFile;
  } catch (const std::exception& error) {
    outcome.error = support::genericDescription(error);
    return "Can't read file, Description: " + *outcome.error + inFile;
  }
}

}  // namespace

IdentifierPassSummary runIdentifierPass(const files::FileManager& system, const std::vector<files::File>& ibFiles,
                                        const std::shared_ptr<Logger>& logger,
                                        const std::function<std::string(const std::string&)>& shownPath,
                                        IBFileWrite write, const std::function<void()>& onFileDone) {
  return runInterfaceBuilderJobs(
      system, ibFiles, logger, shownPath, write == IBFileWrite::atomically,
      [&](const std::string& path, std::size_t) { return addAccessibilityIdentifiers(system, path, write); },
      [&](std::size_t) {
        if (onFileDone) onFileDone();
      });
}

IdentifierPassSummary runInterfaceBuilderJobs(const files::FileManager& system, const std::vector<files::File>& ibFiles,
                                              const std::shared_ptr<Logger>& logger,
                                              const std::function<std::string(const std::string&)>& shownPath,
                                              bool writesInPlace, const IBFileJob& job,
                                              const std::function<void(std::size_t)>& onFileDone) {
  std::vector<std::string> paths;
  paths.reserve(ibFiles.size());
  for (const auto& file : ibFiles) paths.push_back(file.path());
  const InterfaceBuilderPass pass(system, paths);
  IdentifierPassSummary summary;
  summary.files.resize(ibFiles.size());
  // Held until the lines of every file before it are written.
  std::vector<std::string> errorLines(ibFiles.size());
  std::set<std::string> tidiedFolders;
  for (std::size_t index = 0; index < ibFiles.size(); ++index) {
    summary.files[index].path = shownPath ? shownPath(paths[index]) : paths[index];
    // A rewrite that was killed left its temporary file beside the file; this run holds the
    // lock on the folder it changes, so no other run is writing one now. All go before any
    // worker starts writing its own. A copy is new: only a rewrite in place can have left one.
    const std::string folder = files::folderAndName(pass.realPath(index)).first;
    if (writesInPlace && tidiedFolders.insert(folder).second) system.removeAbandonedTemporaries(folder);
  }
  pass.run(
      [&](std::size_t index) {
        errorLines[index] = rewriteFile(job, pass.realPath(index), index, summary.files[index]);
      },
      [&](std::size_t index) {
        if (!errorLines[index].empty() && logger) logger->log(LogLevel::Error, [&] { return errorLines[index]; });
        if (onFileDone) onFileDone(index);
      });
  return summary;
}

}  // namespace korvaster
