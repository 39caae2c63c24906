// The `build` subcommand: archives a project (a modified copy, or the project as it is)
// and exports an .ipa.
#pragma once

#include <memory>

#include "core/commands/platform.h"
#include "core/commands/registerable_command.h"
#include "core/logging/logger.h"
#include "core/options/command_options.h"

namespace korvaster {

class BuildCommand final : public RegisterableCommand {
 public:
  // Registers the "build" subparser with all eight options of the table.
  BuildCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> logger, const Platform& platform = Platform{});

  std::string name() const override;
  // The given options in the table's order.
  Arguments parse(const argparse::ArgumentParser::Result& args) const override;
  CommandOutcome run(const Arguments& arguments) const override;

  std::shared_ptr<Logger> logger;

 private:
  CommandOptions options_;
  Platform platform_;
};

}  // namespace korvaster
