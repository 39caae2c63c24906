#include "core/commands/subcommand.h"

#include "core/options/command_line_table.h"
#include "core/options/project_configuration.h"

namespace korvaster {

Subcommand::Subcommand(argparse::ArgumentParser& parser, CommandLevel level,
                       std::shared_ptr<Logger> commandLogger, const Platform& platform)
    : logger(std::move(commandLogger)),
      level_(level),
      name_(subcommandSpecOf(level).name),
      options_(parser.add(subcommandSpecOf(level).name, subcommandSpecOf(level).overview), level),
      platform_(platform) {}

std::string Subcommand::name() const { return name_; }

Arguments Subcommand::parse(const argparse::ArgumentParser::Result& args) const {
  return withProjectConfiguration(options_.read(args), level_, *platform_.files);
}

}  // namespace korvaster
