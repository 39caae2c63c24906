#include "core/strategies/modify_source_code_strategy.h"

#include "core/errors/korvast_error.h"
#include "core/strategies/command_outputs.h"
#include "support/text_format.h"

namespace korvaster {

CommandOutcome ModifySourceCodeStrategy::run(const Arguments& arguments,
                                             const KorvastFileManager& fileManager) {
  const std::string path = modify(arguments, fileManager).path;
  return {path, support::replacingFirst(Constants::CommandOutputs::Modify, "%@", path)};
}

ModifySourceCodeStrategy::ModifiedProject ModifySourceCodeStrategy::modify(const Arguments& arguments,
                                                                           const KorvastFileManager& fileManager) {
  const auto projectPath = lookup(arguments, ArgumentType::projectPath);
  if (!projectPath) throw KorvastError::missedProjectPath();
  const auto outputPath = lookup(arguments, ArgumentType::outputPath);
  return copyAndModifyProject(*projectPath, fileManager, outputPath, fileManager.logger);
}

ModifySourceCodeStrategy::ModifiedProject ModifySourceCodeStrategy::copyAndModifyProject(
    const std::string& projectPath, const KorvastFileManager& fileManager,
    const std::optional<std::string>& destination, const std::shared_ptr<Logger>& logger) {
  ProjectCopy copy = fileManager.copy(projectPath, destination);
  const auto ibFiles = fileManager.findIBFiles(copy.workFolder());
  if (ibFiles.empty() && logger) {
    logger->log(LogLevel::Warning, [] {
      return "Nor xib not storyboards were found. AccessibilityIdentifiers were not changed.";
    });
  }
  // No one sees a copy before it is committed, so its files need no atomic replacement.
  const IdentifierPassSummary pass = fileManager.modifyAccessibilityId(
      ibFiles, [&](const std::string& path) { return copy.shownPath(path); },
      copy.isCopy() ? IBFileWrite::inPlace : IBFileWrite::atomically);
  if (!pass.allSucceeded() && logger) {
    logger->log(LogLevel::Error, [] { return "XIB files modifications finished with error(s)."; });
  }
  // Only a copy whose every file has been through the pass takes the place of the earlier one.
  copy.commit();
  return {copy.path(), copy.isCopy()};
}

}  // namespace korvaster
