// The `build` subcommand: archives a project (a modified copy, or the project as it is)
// and exports an .ipa.
#pragma once

#include "core/commands/subcommand.h"

namespace korvaster {

class BuildCommand final : public Subcommand {
 public:
  BuildCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger,
               const Platform& platform = Platform{})
      : Subcommand(parser, CommandLevel::build, std::move(commandLogger), platform) {}

  CommandOutcome run(const Arguments& arguments) const override;
};

}  // namespace korvaster
