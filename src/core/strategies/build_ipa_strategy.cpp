#include "core/strategies/build_ipa_strategy.h"

#include "core/build/exported_ipa_files.h"
#include "core/build/xcodebuild_processes.h"
#include "core/errors/korvast_error.h"
#include "core/strategies/command_outputs.h"
#include "support/interruption.h"
#include "support/text_format.h"

namespace korvaster {

namespace {

constexpr const char* kArchiveLogName = "xcodebuild-archive.log";
constexpr const char* kExportLogName = "xcodebuild-export.log";

// The log to give an xcodebuild run: none, after an Error line naming it, when something else
// than a regular file is in its place, which is never written through.
std::string logPathFor(const KorvastFileManager& fileManager, const std::string& logPath) {
  const auto kind = fileManager.system()->nonRegularKind(logPath);
  if (!kind) return logPath;
  if (fileManager.logger()) {
    fileManager.logger()->log(LogLevel::Error, [&] {
      return "Can't keep the output of xcodebuild in " + logPath + ": it is " + *kind +
             ", not a regular file";
    });
  }
  return "";
}

// Records one xcodebuild run, also one that an interruption stopped, and then ends the work
// if an interruption came. Returns whether its output was kept in `logPath`.
bool afterRun(const KorvastFileManager& fileManager, const char* action, int status,
              const std::string& logPath, RunReport* report) {
  bool isFolder = false;
  const bool logKept = !logPath.empty() && fileManager.system()->fileExists(logPath, isFolder) && !isFolder &&
                       !fileManager.system()->nonRegularKind(logPath);
  if (report) {
    report->xcodebuildRuns.push_back(
        {action, status, logKept ? std::optional<std::string>(logPath) : std::nullopt});
  }
  support::throwIfInterrupted();
  return logKept;
}

// After a failed run, names the file that holds what it said.
void nameKeptLog(const KorvastFileManager& fileManager, bool logKept, const std::string& logPath) {
  if (logKept && fileManager.logger()) {
    fileManager.logger()->log(LogLevel::Error, [&] { return "The output of xcodebuild is in " + logPath; });
  }
}

}  // namespace

BuildConfig BuildIPAStrategy::configure(const Arguments& args, const KorvastFileManager& fileManager) {
  const auto plistPath = lookup(args, ArgumentType::exportPlist);
  if (!plistPath) throw KorvastError::missedExportOptionsPlistPath();
  try {
    return BuildConfig(args, *plistPath, *fileManager.system());
  } catch (const KorvastError& error) {
    if (fileManager.logger() && error.cause()) {
      fileManager.logger()->log(LogLevel::Error,
                                [&] { return error.localizedDescription() + " Description: " + *error.cause(); });
    }
    throw;
  }
}

CommandOutcome BuildIPAStrategy::run(const BuildConfig& config, const KorvastFileManager& fileManager,
                                     const std::string& sourcePath, support::CommandRunner& runner,
                                     RunReport* report) {
  const std::string buildFolder = fileManager.prepareProjectBuildFolder(config.workspace);
  const std::string archivePath = archive(config, buildFolder, sourcePath, fileManager, runner, report);
  exportIPA(config, archivePath, buildFolder, fileManager, runner, report);
  return {buildFolder, support::replacingFirst(Constants::CommandOutputs::Build, "%@", buildFolder)};
}

std::string BuildIPAStrategy::archive(const BuildConfig& config, const std::string& buildFolder,
                                      const std::string& sourcePath, const KorvastFileManager& fileManager,
                                      support::CommandRunner& runner, RunReport* report) {
  const auto& logger = fileManager.logger();
  const std::string outputPath = buildFolder + workspaceName(config.workspace);
  if (logger) logger->log(LogLevel::Info, [] { return "Archiving the project..."; });
  const std::string logPath = logPathFor(fileManager, buildFolder + kArchiveLogName);
  const int status = ArchiveProcess::launch(config, outputPath, sourcePath, runner, logPath);
  if (status == 0 && report) report->archivePath = outputPath + ".xcarchive";
  const bool logKept = afterRun(fileManager, "archive", status, logPath, report);
  if (status != 0) {
    if (logger)
      logger->log(LogLevel::Error,
                  [&] { return "Failed to make archive. Error code: " + std::to_string(status); });
    nameKeptLog(fileManager, logKept, logPath);
    throw KorvastError::failedToBuildArchive(status);
  }
  return outputPath + ".xcarchive";
}

void BuildIPAStrategy::exportIPA(const BuildConfig& config, const std::string& archivePath,
                                 const std::string& buildFolder, const KorvastFileManager& fileManager,
                                 support::CommandRunner& runner, RunReport* report) {
  const auto& logger = fileManager.logger();
  if (logger) logger->log(LogLevel::Info, [] { return "Exporting archive..."; });
  const std::string logPath = logPathFor(fileManager, buildFolder + kExportLogName);
  const ExportedIpaFiles before = ExportedIpaFiles::in(*fileManager.system(), buildFolder);
  const int status = ExportProcess::launch(config, archivePath, buildFolder, runner, logPath);
  if (report) report->ipaFiles = ExportedIpaFiles::in(*fileManager.system(), buildFolder).madeSince(before);
  const bool logKept = afterRun(fileManager, "export", status, logPath, report);
  if (status != 0) {
    if (logger) {
      logger->log(LogLevel::Error, [&] {
        return "Failed to build ipa file. Export from archive os failed. Error code: " +
               std::to_string(status);
      });
    }
    nameKeptLog(fileManager, logKept, logPath);
    throw KorvastError::failedToExportArchive(status);
  }
}

}  // namespace korvaster
