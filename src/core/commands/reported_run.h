// Running a command's workflow with a --report: the report is filled in as the workflow goes
// and written when it ends, however it ends, before the final line is logged or printed.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/logging/logger.h"
#include "core/options/argument.h"
#include "core/strategies/command_outcome.h"
#include "core/strategies/run_report.h"
#include "files/file_manager.h"

namespace korvaster {

// Without a report option, runs `workflow` with no report. With one, first makes sure (through
// `system`, as every look at the disk and the report's writing) that the
// report can be written: an empty path or a missing folder throws the file layer's PathError,
// a folder the user cannot write to or a path that names anything but a regular file its
// FileIOError, each after an Error line naming the option and before anything is done. Then runs `workflow` with a report for `command` and writes it atomically to the
// report path with the run's status, error and duration. The workflow's failure is rethrown
// after the report is written; a report that cannot be written is logged, and fails an
// otherwise successful run with the file layer's FileIOError.
CommandOutcome runWithReport(const Arguments& arguments, const std::string& command,
                             const std::shared_ptr<Logger>& logger,
                             const std::shared_ptr<files::FileManager>& system,
                             const std::function<CommandOutcome(RunReport*)>& workflow);

}  // namespace korvaster
