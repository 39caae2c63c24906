#include "argparse/argument_parser_error.h"

#include <utility>

namespace korvaster::argparse {

ArgumentParserError::ArgumentParserError(Case errorCase, std::string description)
    : case_(errorCase), description_(std::move(description)) {}

ArgumentParserError ArgumentParserError::unknownOption(const std::string& optionWord) {
  return {Case::unknownOption, "unknown option " + optionWord + "; use --help to list available options"};
}

ArgumentParserError ArgumentParserError::invalidValue(const std::string& argumentName,
                                                      const ArgumentConversionError& error) {
  return {Case::invalidValue,
          error.description() + " for argument " + argumentName + "; use --help to print usage"};
}

ArgumentParserError ArgumentParserError::expectedValue(const std::string& optionWord) {
  return {Case::expectedValue, "option " + optionWord + " requires a value; provide a value using '" +
                                   optionWord + " <value>' or '" + optionWord + "=<value>'"};
}

ArgumentParserError ArgumentParserError::unexpectedArgument(const std::string& argument) {
  return {Case::unexpectedArgument,
          "unexpected argument " + argument + "; use --help to list available arguments"};
}

ArgumentParserError ArgumentParserError::expectedArguments(const std::vector<std::string>& names) {
  std::string joined;
  for (std::size_t index = 0; index < names.size(); ++index) {
    if (index > 0) joined += ", ";
    joined += names[index];
  }
  return {Case::expectedArguments, "expected arguments: " + joined};
}

}  // namespace korvaster::argparse
