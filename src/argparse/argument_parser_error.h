// The parse failure: one fixed sentence per case, naming the offending word.
#pragma once

#include <optional>
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

  // The name the word given was most likely meant to be, when one is close enough to it.
  const std::optional<std::string>& suggestion() const { return suggestion_; }
  // This error, suggesting the name among `names` nearest to `given` (see nearestName).
  ArgumentParserError suggesting(const std::string& given, const std::vector<std::string>& names) &&;

  std::string domain() const override { return "korvaster.ArgumentParserError"; }
  int code() const override { return static_cast<int>(case_); }
  std::optional<std::string> ownDescription() const override { return description_; }

 private:
  ArgumentParserError(Case errorCase, std::string description);

  Case case_;
  std::string description_;
  std::optional<std::string> suggestion_;
};

// The name among `names` that `given` differs least from, counting each inserted, deleted,
// replaced or swapped character as one difference: nothing when even that one differs in more
// than a third of its characters (at least one), or two names are as near.
std::optional<std::string> nearestName(const std::string& given, const std::vector<std::string>& names);

}  // namespace korvaster::argparse
