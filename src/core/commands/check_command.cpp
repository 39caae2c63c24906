#include "core/commands/check_command.h"

#include "argparse/argument_parser_error.h"
#include "core/commands/constants.h"
#include "core/strategies/check_identifiers_strategy.h"

namespace korvaster {

CheckCommand::CheckCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger,
                           const Platform& platform)
    : logger(std::move(commandLogger)),
      options_(parser.add(Constants::Commands::Check, Constants::Commands::CheckUsage),
               CommandLevel::check),
      platform_(platform) {}

std::string CheckCommand::name() const { return Constants::Commands::Check; }

Arguments CheckCommand::parse(const argparse::ArgumentParser::Result& args) const {
  Arguments arguments = options_.read(args);
  if (const auto format = lookup(arguments, ArgumentType::format); format && !checkFormatNamed(*format)) {
    throw argparse::ArgumentParserError::invalidValue("--format",
                                                      argparse::ArgumentConversionError::unknown(*format));
  }
  return arguments;
}

CommandOutcome CheckCommand::run(const Arguments& arguments) const {
  const auto format = checkFormatNamed(lookup(arguments, ArgumentType::format).value_or("text"));
  CommandOutcome outcome;
  outcome.exitStatus = CheckIdentifiersStrategy::run(arguments, format.value_or(CheckFormat::text),
                                                     platform_.files, *platform_.output);
  return outcome;
}

}  // namespace korvaster
