// The `modify` subcommand: copies a project and gives its Interface Builder views
// accessibility identifiers.
#pragma once

#include "core/commands/subcommand.h"

namespace korvaster {

class ModifySourcesCommand final : public Subcommand {
 public:
  ModifySourcesCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger,
                       const Platform& platform = Platform{})
      : Subcommand(parser, CommandLevel::modify, std::move(commandLogger), platform) {}

  CommandOutcome run(const Arguments& arguments) const override;
};

}  // namespace korvaster
