// RegisterableCommand: a subcommand, made from its level's row. It registers that subparser
// with the level's options when it is made, reads a parse back as Arguments, and runs the
// level's workflow with the logger and the platform it was given.
#pragma once

#include <memory>
#include <string>

#include "argparse/argument_parser.h"
#include "core/commands/platform.h"
#include "core/logging/logger.h"
#include "core/options/argument.h"
#include "core/options/command_options.h"
#include "core/strategies/command_outcome.h"

namespace korvaster {

class RegisterableCommand {
 public:
  // A level's workflow: runs it with the command's logger and platform; throws the failure
  // that ends it.
  using Workflow = CommandOutcome (*)(const RegisterableCommand& command, const Arguments& arguments);

  // Registers the subparser of `level` on `parser`, with the options whose rows it takes.
  RegisterableCommand(argparse::ArgumentParser& parser, CommandLevel level, Workflow workflow,
                      std::shared_ptr<Logger> commandLogger, const Platform& platform);

  std::string name() const { return name_; }
  // The options of this level that were given, in the table's order, then what the project's
  // configuration file adds. Throws argparse::ArgumentParserError::invalidValue for a value
  // that is not among its option's choices.
  Arguments parse(const argparse::ArgumentParser::Result& args) const;
  CommandOutcome run(const Arguments& arguments) const { return workflow_(*this, arguments); }

  const Platform& platform() const { return platform_; }
  std::shared_ptr<Logger> logger;

 private:
  CommandLevel level_;
  std::string name_;
  CommandOptions options_;
  Workflow workflow_;
  Platform platform_;
};

}  // namespace korvaster
