// Subcommand: what every subcommand shares. Made from its level's row, it registers that
// subparser with the level's options, reads a parse back as Arguments, and keeps the logger
// and the platform its run works through. A subcommand adds only its run.
#pragma once

#include <memory>
#include <string>

#include "core/commands/platform.h"
#include "core/commands/registerable_command.h"
#include "core/logging/logger.h"
#include "core/options/command_options.h"

namespace korvaster {

class Subcommand : public RegisterableCommand {
 public:
  std::string name() const final;
  // The options of this level that were given, in the table's order, then what the project's
  // configuration file adds.
  Arguments parse(const argparse::ArgumentParser::Result& args) const override;

  std::shared_ptr<Logger> logger;

 protected:
  // Registers the subparser of `level` on `parser`, with the options whose rows it takes.
  Subcommand(argparse::ArgumentParser& parser, CommandLevel level, std::shared_ptr<Logger> logger,
             const Platform& platform);

  const Platform& platform() const { return platform_; }

 private:
  CommandLevel level_;
  std::string name_;
  CommandOptions options_;
  Platform platform_;
};

}  // namespace korvaster
