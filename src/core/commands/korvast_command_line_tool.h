// KorvastCommandLineTool: the one tool object of the process. It owns the logger and the
// chosen subcommand, and runs that subcommand once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/commands/platform.h"
#include "core/commands/registerable_command.h"
#include "core/logging/line_writer.h"
#include "core/logging/logger.h"

namespace korvaster {

class KorvastCommandLineTool final {
 public:
  // Parses `arguments` (program path first); throws what parsing throws. Everything the
  // tool reads, writes or starts goes through `platform`.
  explicit KorvastCommandLineTool(const std::vector<std::string>& arguments, const Platform& platform = Platform{});

  // Prints the version, or runs the chosen command and logs its description. Returns the
  // command's exit status (0 for the version); throws what the command throws.
  int run();

  Arguments arguments;
  std::shared_ptr<Logger> logger;

 private:
  void checkVerboseArgument();

  std::shared_ptr<RegisterableCommand> command_;
  Platform platform_;
};

// The process entry point: runs the tool, prints the usage a help word asked for, and prints
// the one report line of a failure. Returns 0 on success, for help and for --version (check:
// 1 when it found anything); 128 + the signal's number when interrupted; 1 whenever another
// report was written, or when standard output could not be written.
int runKorvaster(const std::vector<std::string>& arguments, const Platform& platform = Platform{});

}  // namespace korvaster
