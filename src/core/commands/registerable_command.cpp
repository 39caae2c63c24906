#include "core/commands/registerable_command.h"

#include "argparse/argument_parser_error.h"
#include "core/options/command_line_table.h"
#include "core/options/project_configuration.h"

namespace korvaster {

RegisterableCommand::RegisterableCommand(argparse::ArgumentParser& parser, CommandLevel level,
                                         Workflow workflow, std::shared_ptr<Logger> commandLogger,
                                         const Platform& platform)
    : logger(std::move(commandLogger)),
      level_(level),
      name_(subcommandSpecOf(level).name),
      options_(parser.add(subcommandSpecOf(level).name, subcommandSpecOf(level).overview), level),
      workflow_(workflow),
      platform_(platform) {}

Arguments RegisterableCommand::parse(const argparse::ArgumentParser::Result& args) const {
  Arguments arguments = withProjectConfiguration(options_.read(args), level_, *platform_.files);
  // Checked after the configuration file has added its values, which must be choices too.
  for (const auto& argument : arguments) {
    if (argument.type == ArgumentType::namedPath) continue;  // a path, not an option's value
    const OptionSpec& option = optionSpecOf(argument.type);
    if (!option.takesValue(argument.value)) {
      throw argparse::ArgumentParserError::invalidValue(
          option.name, argparse::ArgumentConversionError::unknown(argument.value));
    }
  }
  return arguments;
}

}  // namespace korvaster
