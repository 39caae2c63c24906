// BuildIPAStrategy: archives a project folder with xcodebuild and exports an .ipa into the
// workspace's build folder. Stateless.
#pragma once

#include <memory>
#include <string>

#include "core/build/build_config.h"
#include "core/build/command_runner.h"
#include "core/options/argument.h"
#include "core/strategies/command_outcome.h"
#include "core/filemanager/korvast_file_manager.h"

namespace korvaster {

class BuildIPAStrategy {
 public:
  // result: the build folder path; description: "Your ipa file located at PATH". Throws
  // KorvastError::failedToBuildArchive or failedToExportArchive with xcodebuild's status
  // (the export is not attempted after a failed archive), or failedToCreateFolder.
  static CommandOutcome run(const BuildConfig& config, const KorvastFileManager& fileManager,
                            const std::string& sourcePath, CommandRunner& runner);

 private:
  static std::string archive(const BuildConfig& config, const std::string& outputPath,
                             const std::string& sourcePath, const std::shared_ptr<Logger>& logger,
                             CommandRunner& runner);
  static void exportIPA(const BuildConfig& config, const std::string& archivePath,
                        const std::string& outputPath, const std::shared_ptr<Logger>& logger,
                        CommandRunner& runner);
};

}  // namespace korvaster
