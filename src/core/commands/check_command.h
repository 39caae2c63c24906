// The `check` subcommand: tells which views of a project's Interface Builder files have no
// accessibility identifier and which identifiers repeat, changing nothing.
#pragma once

#include <memory>

#include "core/commands/platform.h"
#include "core/commands/registerable_command.h"
#include "core/logging/logger.h"
#include "core/options/command_options.h"

namespace korvaster {

class CheckCommand final : public RegisterableCommand {
 public:
  // Registers the "check" subparser with --path, --exclude and --format on `parser`.
  CheckCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> logger,
               const Platform& platform = Platform{});

  std::string name() const override;
  // The given options in the table's order. Throws argparse::ArgumentParserError::invalidValue
  // for a --format that names no format.
  Arguments parse(const argparse::ArgumentParser::Result& args) const override;
  // Writes the findings on the platform's output; the outcome has no description, and its
  // exit status says whether anything was found.
  CommandOutcome run(const Arguments& arguments) const override;

  std::shared_ptr<Logger> logger;

 private:
  CommandOptions options_;
  Platform platform_;
};

}  // namespace korvaster
