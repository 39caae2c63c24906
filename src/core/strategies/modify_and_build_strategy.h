// ModifyAndBuildStrategy: modifies a copy of the project, archives and exports it, then
// removes the archives and (unless the user chose where it goes) the copy. Stateless.
#pragma once

#include "support/command_runner.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/options/argument.h"
#include "core/strategies/command_outcome.h"
#include "core/strategies/run_report.h"

namespace korvaster {

class ModifyAndBuildStrategy {
 public:
  // Checks the export option and builds the configuration before anything is copied. The
  // clean-up runs whether the build succeeded or failed; its own failure takes precedence
  // over the build's.
  // What was done is added to `report` when given.
  static CommandOutcome run(const Arguments& args, const KorvastFileManager& fileManager,
                            support::CommandRunner& runner, RunReport* report = nullptr);
};

}  // namespace korvaster
