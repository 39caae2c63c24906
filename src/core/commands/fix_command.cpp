#include "core/commands/fix_command.h"

#include "core/commands/reported_run.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/fix_identifiers_strategy.h"

namespace korvaster {

CommandOutcome FixCommand::run(const Arguments& arguments) const {
  return runWithReport(arguments, name(), logger, platform().files, [&](RunReport* report) {
    const KorvastFileManager fileManager(logger, platform().files);
    return FixIdentifiersStrategy::run(arguments, fileManager, *platform().output, report);
  });
}

}  // namespace korvaster
