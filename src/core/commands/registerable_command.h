// RegisterableCommand: a subcommand. It registers its subparser and options when it is
// made, turns a parse result into Arguments, and runs its workflow with them.
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
  // Never fails: a missing option is simply left out of the list.
  virtual Arguments parse(const argparse::ArgumentParser::Result& args) const = 0;
  // Runs the workflow; throws the failure that ends it.
  virtual CommandOutcome run(const Arguments& arguments) const = 0;
};

}  // namespace korvaster
