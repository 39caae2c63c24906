// The two fixed xcodebuild invocations: archive the project, and export an .ipa from the archive.
#pragma once

#include <string>
#include <vector>

#include "core/build/build_config.h"
#include "support/command_runner.h"

namespace korvaster {

class ArchiveProcess {
 public:
  // xcodebuild -scheme S -workspace SOURCE/W -configuration C -archivePath OUT clean archive
  // -verbose|-quiet; the workspace is always taken relative to the project folder.
  static std::vector<std::string> words(const BuildConfig& config, const std::string& outputPath,
                                        const std::string& source);
  // Runs the words (output shown only when verbose, errors always, both kept in `logPath`
  // when it is not empty) and returns the exit status.
  static int launch(const BuildConfig& config, const std::string& outputPath, const std::string& source,
                    support::CommandRunner& runner, const std::string& logPath = "");
};

class ExportProcess {
 public:
  // xcodebuild -archivePath A -exportPath OUT -exportArchive -exportOptionsPlist P -verbose
  static std::vector<std::string> words(const BuildConfig& config, const std::string& archivePath,
                                        const std::string& output);
  static int launch(const BuildConfig& config, const std::string& archivePath, const std::string& output,
                    support::CommandRunner& runner, const std::string& logPath = "");
};

}  // namespace korvaster
