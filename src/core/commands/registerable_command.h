// RegisterableCommand: a subcommand. It registers its subparser and options when it is
// made, turns a parse result into Arguments, and runs its workflow with them (Subcommand
// holds all but the run).
#pragma once

#include <string>

#include "argparse/argument_parser.h"
#include "core/options/argument.h"
#include "core/strategies/command_outcome.h"

namespace korvaster {

class RegisterableCommand {
 public:
  virtual ~RegisterableCommand() = default;
  virtual std::string name() const = 0;
  // The given options as Arguments; a missing option is simply left out of the list. Throws
  // argparse::ArgumentParserError for a value the command cannot take (check's --format).
  virtual Arguments parse(const argparse::ArgumentParser::Result& args) const = 0;
  // Runs the workflow; throws the failure that ends it.
  virtual CommandOutcome run(const Arguments& arguments) const = 0;
};

}  // namespace korvaster
