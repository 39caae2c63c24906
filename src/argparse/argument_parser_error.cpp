#include "argparse/argument_parser_error.h"

#include <algorithm>
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

ArgumentParserError ArgumentParserError::suggesting(const std::string& given,
                                                    const std::vector<std::string>& names) && {
  suggestion_ = nearestName(given, names);
  return std::move(*this);
}

namespace {

// The optimal string alignment distance: edits, with two neighbours swapped counting as one.
std::size_t differences(const std::string& left, const std::string& right) {
  std::vector<std::vector<std::size_t>> cost(left.size() + 1, std::vector<std::size_t>(right.size() + 1));
  for (std::size_t i = 0; i <= left.size(); ++i) cost[i][0] = i;
  for (std::size_t j = 0; j <= right.size(); ++j) cost[0][j] = j;
  for (std::size_t i = 1; i <= left.size(); ++i) {
    for (std::size_t j = 1; j <= right.size(); ++j) {
      const std::size_t replaced = cost[i - 1][j - 1] + (left[i - 1] == right[j - 1] ? 0 : 1);
      cost[i][j] = std::min({cost[i - 1][j] + 1, cost[i][j - 1] + 1, replaced});
      if (i > 1 && j > 1 && left[i - 1] == right[j - 2] && left[i - 2] == right[j - 1])
        cost[i][j] = std::min(cost[i][j], cost[i - 2][j - 2] + 1);
    }
  }
  return cost[left.size()][right.size()];
}

}  // namespace

std::optional<std::string> nearestName(const std::string& given, const std::vector<std::string>& names) {
  std::optional<std::string> nearest;
  std::size_t fewest = std::max<std::size_t>(1, given.size() / 3) + 1;
  bool tied = false;
  for (const std::string& name : names) {
    const std::size_t count = differences(given, name);
    if (count == fewest) tied = true;
    if (count < fewest) {
      fewest = count;
      nearest = name;
      tied = false;
    }
  }
  return tied ? std::nullopt : nearest;
}

}  // namespace korvaster::argparse
