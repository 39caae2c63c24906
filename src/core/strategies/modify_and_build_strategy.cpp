#include "core/strategies/modify_and_build_strategy.h"

#include <exception>

#include "core/build/build_config.h"
#include "core/errors/korvast_error.h"
#include "core/strategies/build_ipa_strategy.h"
#include "core/strategies/modify_source_code_strategy.h"

namespace korvaster {

CommandOutcome ModifyAndBuildStrategy::run(const Arguments& args, const KorvastFileManager& fileManager,
                                           support::CommandRunner& runner, RunReport* report) {
  const BuildConfig config = BuildIPAStrategy::configure(args, fileManager);

  const auto modified = ModifySourceCodeStrategy::modify(args, fileManager, report);
  const std::string& modifiedPath = modified.path;
  // Only a copy is ever removed, and only one the user did not ask to keep.
  const bool removeCopy = !lookup(args, ArgumentType::outputPath) && modified.isCopy;

  CommandOutcome outcome;
  std::exception_ptr buildError;
  try {
    outcome = BuildIPAStrategy::run(config, fileManager, modifiedPath, runner, report);
  } catch (...) {
    buildError = std::current_exception();
  }

  // Whichever way the clean-up ends, the report says whether the archive it names is gone.
  const auto noteArchiveRemoved = [&] {
    bool isFolder = false;
    if (report && report->archivePath) {
      report->archiveRemoved = !fileManager.system()->fileExists(*report->archivePath, isFolder);
    }
  };
  try {
    fileManager.cleanArchives();
  } catch (...) {
    noteArchiveRemoved();
    throw;
  }
  noteArchiveRemoved();
  if (removeCopy) {
    std::optional<files::Folder> copy;
    try {
      copy.emplace(modifiedPath, fileManager.system());
    } catch (const files::PathError& error) {
      if (fileManager.logger()) {
        fileManager.logger()->log(LogLevel::Error, [&] {
          return "Can't open the modified copy to remove it: " + support::genericDescription(error);
        });
      }
      throw KorvastError::failedToCreateFolder().because(error);
    }
    copy->deleteItem();
    if (report) report->copyRemoved = true;
  }

  if (buildError) std::rethrow_exception(buildError);
  return outcome;
}

}  // namespace korvaster
