// The `check` subcommand: tells which views of a project's Interface Builder files have no
// accessibility identifier and which identifiers repeat, changing nothing.
#pragma once

#include "core/commands/subcommand.h"

namespace korvaster {

class CheckCommand final : public Subcommand {
 public:
  CheckCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger,
               const Platform& platform = Platform{})
      : Subcommand(parser, CommandLevel::check, std::move(commandLogger), platform) {}

  // As Subcommand::parse; throws argparse::ArgumentParserError::invalidValue for a --format
  // that names no format.
  Arguments parse(const argparse::ArgumentParser::Result& args) const override;
  // Writes the findings on the platform's output; the outcome has no description, and its
  // exit status says whether anything was found.
  CommandOutcome run(const Arguments& arguments) const override;
};

}  // namespace korvaster
