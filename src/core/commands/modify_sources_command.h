// The `modify` subcommand: copies a project and gives its Interface Builder views
// accessibility identifiers.
#pragma once

#include <memory>

#include "core/commands/platform.h"
#include "core/commands/registerable_command.h"
#include "core/logging/logger.h"
#include "core/options/command_options.h"

namespace korvaster {

class ModifySourcesCommand final : public RegisterableCommand {
 public:
  // Registers the "modify" subparser with --path and --output on `parser`.
  ModifySourcesCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> logger, const Platform& platform = Platform{});

  std::string name() const override;
  // (projectPath, outputPath), each only when given, in that order.
  Arguments parse(const argparse::ArgumentParser::Result& args) const override;
  CommandOutcome run(const Arguments& arguments) const override;

  std::shared_ptr<Logger> logger;

 private:
  CommandOptions options_;
  Platform platform_;
};

}  // namespace korvaster
