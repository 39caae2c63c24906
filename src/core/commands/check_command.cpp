#include "core/commands/check_command.h"

#include "argparse/argument_parser_error.h"
#include "core/strategies/check_identifiers_strategy.h"

namespace korvaster {

Arguments CheckCommand::parse(const argparse::ArgumentParser::Result& args) const {
  Arguments arguments = Subcommand::parse(args);
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
                                                     platform().files, *platform().output);
  return outcome;
}

}  // namespace korvaster
