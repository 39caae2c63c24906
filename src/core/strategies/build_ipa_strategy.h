// BuildIPAStrategy: archives a project folder with xcodebuild and exports an .ipa into the
// workspace's build folder. Stateless.
#pragma once

#include <memory>
#include <string>

#include "core/build/build_config.h"
#include "support/command_runner.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/options/argument.h"
#include "core/strategies/command_outcome.h"
#include "core/strategies/run_report.h"

namespace korvaster {

class BuildIPAStrategy {
 public:
  // The configuration from the export-options list the arguments name and the arguments
  // themselves. Throws KorvastError::missedExportOptionsPlistPath without that option, and
  // BuildConfig's errors, after an Error line with their cause.
  static BuildConfig configure(const Arguments& args, const KorvastFileManager& fileManager);
  // result: the build folder path; description: "Your ipa file located at PATH". Throws
  // KorvastError::failedToBuildArchive or failedToExportArchive with xcodebuild's status
  // (the export is not attempted after a failed archive), or failedToCreateFolder. Each
  // xcodebuild run's output is kept in the build folder, in xcodebuild-archive.log and
  // xcodebuild-export.log; a failed run's log is named in an Error line. What was done is
  // added to `report` when given.
  static CommandOutcome run(const BuildConfig& config, const KorvastFileManager& fileManager,
                            const std::string& sourcePath, support::CommandRunner& runner,
                            RunReport* report = nullptr);

 private:
  static std::string archive(const BuildConfig& config, const std::string& buildFolder,
                             const std::string& sourcePath, const KorvastFileManager& fileManager,
                             support::CommandRunner& runner, RunReport* report);
  static void exportIPA(const BuildConfig& config, const std::string& archivePath,
                        const std::string& buildFolder, const KorvastFileManager& fileManager,
                        support::CommandRunner& runner, RunReport* report);
};

}  // namespace korvaster
