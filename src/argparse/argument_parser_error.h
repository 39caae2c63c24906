// The parse failure: one fixed sentence per case, naming the offending word.
#pragma once

#include <string>
#include <vector>

#include "argparse/argument_conversion_error.h"
#include "support/error.h"

namespace korvaster::argparse {

class ArgumentParserError final : public support::Error {
 public:
  enum class Case { unknownOption, invalidValue, expectedValue, unexpectedArgument, expectedArguments };

  static ArgumentParserError unknownOption(const std::string& optionWord);
  static ArgumentParserError invalidValue(const std::string& argumentName,
                                          const ArgumentConversionError& error);
  static ArgumentParserError expectedValue(const std::string& optionWord);
  static ArgumentParserError unexpectedArgument(const std::string& argument);
  static ArgumentParserError expectedArguments(const std::vector<std::string>& names);

  const std::string& description() const { return description_; }

  std::string domain() const override { return "korvaster.ArgumentParserError"; }
  int code() const override { return static_cast<int>(case_); }
  std::optional<std::string> ownDescription() const override { return description_; }

 private:
  ArgumentParserError(Case errorCase, std::string description);

  Case case_;
  std::string description_;
};

}  // namespace korvaster::argparse
