#include "core/build/xcodebuild_processes.h"

namespace korvaster {

namespace XCodeBuildCommand {
constexpr const char* Program = "xcodebuild";
constexpr const char* Scheme = "-scheme";
constexpr const char* Workspace = "-workspace";
constexpr const char* Configuration = "-configuration";
constexpr const char* ArchivePath = "-archivePath";
constexpr const char* Clean = "clean";
constexpr const char* Archive = "archive";
constexpr const char* Verbose = "-verbose";
constexpr const char* Quiet = "-quiet";
constexpr const char* ExportPath = "-exportPath";
constexpr const char* ExportArchive = "-exportArchive";
constexpr const char* ExportOptionsPlist = "-exportOptionsPlist";
}  // namespace XCodeBuildCommand

std::vector<std::string> ArchiveProcess::words(const BuildConfig& config, const std::string& outputPath,
                                               const std::string& source) {
  using namespace XCodeBuildCommand;
  const std::string folder = !source.empty() && source.back() == '/' ? source : source + "/";
  return {Program,
          Scheme,
          config.scheme,
          Workspace,
          folder + config.workspace,
          Configuration,
          config.configuration,
          ArchivePath,
          outputPath,
          Clean,
          Archive,
          config.verbose ? Verbose : Quiet};
}

int ArchiveProcess::launch(const BuildConfig& config, const std::string& outputPath,
                           const std::string& source, support::CommandRunner& runner, const std::string& logPath) {
  return runner.run(words(config, outputPath, source), !config.verbose, logPath);
}

std::vector<std::string> ExportProcess::words(const BuildConfig& config, const std::string& archivePath,
                                              const std::string& output) {
  using namespace XCodeBuildCommand;
  return {Program, ArchivePath,   archivePath,        ExportPath,
          output,  ExportArchive, ExportOptionsPlist, config.optionPlistPath,
          Verbose};
}

int ExportProcess::launch(const BuildConfig& config, const std::string& archivePath,
                          const std::string& output, support::CommandRunner& runner, const std::string& logPath) {
  return runner.run(words(config, archivePath, output), !config.verbose, logPath);
}

}  // namespace korvaster
