#include "core/strategies/modify_and_build_strategy.h"

#include <exception>

#include "core/build/build_config.h"
#include "core/errors/korvast_error.h"
#include "core/strategies/build_ipa_strategy.h"
#include "core/strategies/modify_source_code_strategy.h"

namespace korvaster {

namespace {
// Whether two folder paths, as the user or the copy step spelled them, name one real folder.
bool isSameFolder(const std::string& projectPath, const std::string& modifiedPath,
                  const KorvastFileManager& fileManager) {
  if (projectPath == modifiedPath) return true;
  try {
    const auto& system = *fileManager.fileManager;
    const auto project = system.realPath(files::Folder(projectPath, fileManager.fileManager).path());
    return project && project == system.realPath(modifiedPath);
  } catch (const files::PathError&) {
    return false;
  }
}
}  // namespace

CommandOutcome ModifyAndBuildStrategy::run(const Arguments& args, const KorvastFileManager& fileManager,
                                           CommandRunner& runner) {
  const auto plistPath = lookup(args, ArgumentType::exportPlist);
  if (!plistPath) throw KorvastError::missedExportOptionsPlistPath();
  const BuildConfig config(args, *plistPath);

  const std::string modifiedPath = ModifySourceCodeStrategy::run(args, fileManager).result;
  // Only a copy is ever removed: when the modified folder is the project itself (reached by
  // whatever spelling of its path), it stays.
  const bool isProject = isSameFolder(*lookup(args, ArgumentType::projectPath), modifiedPath, fileManager);
  const bool removeCopy = !lookup(args, ArgumentType::outputPath) && !isProject;

  CommandOutcome outcome;
  std::exception_ptr buildError;
  try {
    outcome = BuildIPAStrategy::run(config, fileManager, modifiedPath, runner);
  } catch (...) {
    buildError = std::current_exception();
  }

  fileManager.cleanArchives();
  if (removeCopy) {
    std::optional<files::Folder> copy;
    try {
      copy.emplace(modifiedPath, fileManager.fileManager);
    } catch (const files::PathError&) {
      throw KorvastError::failedToCreateFolder();
    }
    copy->deleteItem();
  }

  if (buildError) std::rethrow_exception(buildError);
  return outcome;
}

}  // namespace korvaster
