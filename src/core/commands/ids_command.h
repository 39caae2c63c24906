// The `ids` subcommand: lists every view of a project's Interface Builder files with its
// accessibility identifier, a readable name and the class that owns it, changing nothing.
#pragma once

#include "core/commands/subcommand.h"

namespace korvaster {

class IdsCommand final : public Subcommand {
 public:
  IdsCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger,
             const Platform& platform = Platform{})
      : Subcommand(parser, CommandLevel::ids, std::move(commandLogger), platform) {}

  // As Subcommand::parse; throws argparse::ArgumentParserError::invalidValue for a --format
  // that names no format.
  Arguments parse(const argparse::ArgumentParser::Result& args) const override;
  // Writes the views on the platform's output; the outcome has no description, and its exit
  // status says whether a file could not be read.
  CommandOutcome run(const Arguments& arguments) const override;
};

}  // namespace korvaster
