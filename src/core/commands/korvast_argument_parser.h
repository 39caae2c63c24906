// KorvastArgumentParser: builds the top-level parser with the subcommands and --version,
// and turns the process arguments into the chosen command and its Arguments.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "argparse/argument_parser.h"
#include "core/commands/platform.h"
#include "core/commands/registerable_command.h"
#include "core/logging/logger.h"
#include "core/options/command_options.h"

namespace korvaster {

class KorvastArgumentParser {
 public:
  // The commands it makes work through `platform`; usage is printed on its output.
  KorvastArgumentParser(std::shared_ptr<Logger> logger, const Platform& platform = Platform{});

  // `arguments` as given to the process, program path first. Returns no command and one
  // version Argument when --version was given. A parse failure is logged, the top-level
  // usage printed, and the error thrown on; a missing subcommand prints the usage and
  // throws KorvastError::missingArguments. A help word's argparse::HelpRequested passes
  // through unlogged.
  std::pair<std::shared_ptr<RegisterableCommand>, Arguments> parse(const std::vector<std::string>& arguments);

 private:
  std::shared_ptr<Logger> logger_;
  Platform platform_;
  std::unique_ptr<argparse::ArgumentParser> parser_;
  CommandOptions version_;
  std::vector<std::shared_ptr<RegisterableCommand>> cmds_;
};

}  // namespace korvaster
