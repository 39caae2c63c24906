// The `fix` subcommand: gives the views of a project's own Interface Builder files their
// accessibility identifiers where they lie, as Xcode would write them.
#pragma once

#include "core/commands/subcommand.h"

namespace korvaster {

class FixCommand final : public Subcommand {
 public:
  FixCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger,
             const Platform& platform = Platform{})
      : Subcommand(parser, CommandLevel::fix, std::move(commandLogger), platform) {}

  CommandOutcome run(const Arguments& arguments) const override;
};

}  // namespace korvaster
