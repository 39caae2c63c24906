#include "core/commands/modify_sources_command.h"

#include "core/commands/output_option.h"
#include "core/commands/reported_run.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/modify_source_code_strategy.h"

namespace korvaster {

CommandOutcome ModifySourcesCommand::run(const Arguments& arguments) const {
  return runWithReport(arguments, name(), logger, platform().files, [&](RunReport* report) {
    refuseEmptyOutput(arguments, logger);
    const KorvastFileManager fileManager(logger, platform().files);
    return ModifySourceCodeStrategy::run(arguments, fileManager, report);
  });
}

}  // namespace korvaster
