#include "core/strategies/modify_source_code_strategy.h"

#include "core/errors/korvast_error.h"
#include "core/logging/progress_line.h"
#include "core/strategies/command_outputs.h"
#include "core/strategies/project_files_pass.h"
#include "support/text_format.h"

namespace korvaster {

CommandOutcome ModifySourceCodeStrategy::run(const Arguments& arguments,
                                             const KorvastFileManager& fileManager, RunReport* report) {
  const std::string path = modify(arguments, fileManager, report).path;
  return {path, support::replacingFirst(Constants::CommandOutputs::Modify, "%@", path)};
}

ModifySourceCodeStrategy::ModifiedProject ModifySourceCodeStrategy::modify(
    const Arguments& arguments, const KorvastFileManager& fileManager, RunReport* report) {
  const auto projectPath = lookup(arguments, ArgumentType::projectPath);
  if (!projectPath) throw KorvastError::missedProjectPath();
  const auto outputPath = lookup(arguments, ArgumentType::outputPath);
  return copyAndModifyProject(*projectPath, fileManager, outputPath,
                              lookupAll(arguments, ArgumentType::exclude), fileManager.logger(), report);
}

ModifySourceCodeStrategy::ModifiedProject ModifySourceCodeStrategy::copyAndModifyProject(
    const std::string& projectPath, const KorvastFileManager& fileManager,
    const std::optional<std::string>& destination, const std::vector<std::string>& excluded,
    const std::shared_ptr<Logger>& logger, RunReport* report) {
  ProgressLine progress(fileManager.terminal());
  progress.show("Copying the project...");
  ProjectCopy copy = fileManager.copy(projectPath, destination);
  if (report) report->copyPath = copy.path();
  copy.replaceLinksLeadingOut();
  // No one sees a copy before it is committed, so its files need no atomic replacement.
  const IBFileWrite write = copy.isCopy() ? IBFileWrite::inPlace : IBFileWrite::atomically;
  passOverProjectFiles(
      copy, fileManager, excluded, logger, report,
      [&](const std::vector<files::File>& files, const auto& shownPath, const auto& onFileDone) {
        return fileManager.modifyAccessibilityId(copy.rootFolder(), files, shownPath, write, onFileDone);
      });
  // Only a copy whose every file has been through the pass takes the place of the earlier one.
  copy.commit();
  return {copy.path(), copy.isCopy()};
}

}  // namespace korvaster
