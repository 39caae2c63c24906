#include "core/strategies/build_ipa_strategy.h"

#include "core/build/xcodebuild_processes.h"
#include "core/errors/korvast_error.h"
#include "core/strategies/command_outputs.h"
#include "support/interruption.h"
#include "support/text_format.h"

namespace korvaster {

CommandOutcome BuildIPAStrategy::run(const BuildConfig& config, const KorvastFileManager& fileManager,
                                     const std::string& sourcePath, CommandRunner& runner) {
  const std::string buildFolder = fileManager.prepareProjectBuildFolder(config.workspace);
  const std::string archivePath =
      archive(config, buildFolder + workspaceName(config.workspace), sourcePath, fileManager.logger, runner);
  // An interruption that came while the archive was being made ends the run here.
  support::throwIfInterrupted();
  exportIPA(config, archivePath, buildFolder, fileManager.logger, runner);
  return {buildFolder, support::replacingFirst(Constants::CommandOutputs::Build, "%@", buildFolder)};
}

std::string BuildIPAStrategy::archive(const BuildConfig& config, const std::string& outputPath,
                                      const std::string& sourcePath, const std::shared_ptr<Logger>& logger,
                                      CommandRunner& runner) {
  if (logger) logger->log(LogLevel::Info, [] { return "Archiving the project..."; });
  const int status = ArchiveProcess::launch(config, outputPath, sourcePath, runner);
  if (status != 0) {
    if (logger)
      logger->log(LogLevel::Error,
                  [&] { return "Failed to make archive. Error code: " + std::to_string(status); });
    throw KorvastError::failedToBuildArchive(status);
  }
  return outputPath + ".xcarchive";
}

void BuildIPAStrategy::exportIPA(const BuildConfig& config, const std::string& archivePath,
                                 const std::string& outputPath, const std::shared_ptr<Logger>& logger,
                                 CommandRunner& runner) {
  if (logger) logger->log(LogLevel::Info, [] { return "Exporting archive..."; });
  const int status = ExportProcess::launch(config, archivePath, outputPath, runner);
  if (status != 0) {
    if (logger) {
      logger->log(LogLevel::Error, [&] {
        return "Failed to build ipa file. Export from archive os failed. Error code: " +
               std::to_string(status);
      });
    }
    throw KorvastError::failedToExportArchive(status);
  }
}

}  // namespace korvaster
