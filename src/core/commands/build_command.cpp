#include "core/commands/build_command.h"

#include "core/build/build_config.h"
#include "core/commands/output_option.h"
#include "core/commands/reported_run.h"
#include "core/errors/korvast_error.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/build_ipa_strategy.h"
#include "core/strategies/modify_and_build_strategy.h"

namespace korvaster {

CommandOutcome BuildCommand::run(const Arguments& arguments) const {
  return runWithReport(arguments, name(), logger, platform().files, [&](RunReport* report) {
    refuseEmptyOutput(arguments, logger);
    const auto projectPath = lookup(arguments, ArgumentType::projectPath);
    if (!projectPath) throw KorvastError::missedProjectPath();
    const KorvastFileManager fileManager(logger, platform().files);
    if (contains(arguments, ArgumentType::build)) {
      const BuildConfig config = BuildIPAStrategy::configure(arguments, fileManager);
      return BuildIPAStrategy::run(config, fileManager, *projectPath, *platform().runner, report);
    }
    return ModifyAndBuildStrategy::run(arguments, fileManager, *platform().runner, report);
  });
}

}  // namespace korvaster
