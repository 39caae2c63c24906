#include "core/commands/ids_command.h"

#include "argparse/argument_parser_error.h"
#include "core/strategies/list_identifiers_strategy.h"

namespace korvaster {

Arguments IdsCommand::parse(const argparse::ArgumentParser::Result& args) const {
  Arguments arguments = Subcommand::parse(args);
  if (const auto format = lookup(arguments, ArgumentType::idsFormat); format && !idsFormatNamed(*format)) {
    throw argparse::ArgumentParserError::invalidValue("--format",
                                                      argparse::ArgumentConversionError::unknown(*format));
  }
  return arguments;
}

CommandOutcome IdsCommand::run(const Arguments& arguments) const {
  const auto format = idsFormatNamed(lookup(arguments, ArgumentType::idsFormat).value_or("text"));
  CommandOutcome outcome;
  outcome.exitStatus = ListIdentifiersStrategy::run(arguments, format.value_or(IdsFormat::text),
                                                    platform().files, *platform().output);
  return outcome;
}

}  // namespace korvaster
