#include "argparse/argument_parser.h"

#include <unordered_map>
#include <utility>

#include "argparse/help_requested.h"

namespace korvaster::argparse {

namespace {

bool isHelpWord(const std::string& word) { return word == "-h" || word == "-help" || word == "--help"; }

// Reads an option's value: the text attached after "=", or else the next word, whatever it
// looks like (it may begin with "-" or be a help word).
ArgumentValue readValue(const AnyArgument& option, const std::string& optionWord,
                        const std::optional<std::string>& attachedValue,
                        const std::vector<std::string>& arguments, std::size_t& position) {
  std::optional<std::string> text = attachedValue;
  if (!text) {
    if (option.isBoolean()) return true;
    if (position >= arguments.size()) throw ArgumentParserError::expectedValue(optionWord);
    text = arguments[position++];
  }
  try {
    return option.convert(*text);
  } catch (const ArgumentConversionError& error) {
    throw ArgumentParserError::invalidValue(option.name(), error);
  }
}

}  // namespace

std::optional<std::string> ArgumentParser::Result::subparser(const ArgumentParser& parser) const {
  for (const Result* result = this; result != nullptr; result = result->parentResult_.get()) {
    if (result->parser_ == &parser) return result->subparser_;
  }
  return std::nullopt;
}

ArgumentParser::ArgumentParser(std::string commandName, std::string usage, std::string overview,
                               std::optional<std::string> seeAlso)
    : commandName_(std::move(commandName)),
      usage_(std::move(usage)),
      overview_(std::move(overview)),
      seeAlso_(std::move(seeAlso)) {}

ArgumentParser::ArgumentParser(SubparserTag, std::string overview)
    : overview_(std::move(overview)), isSubparser_(true) {}

ArgumentParser& ArgumentParser::add(const std::string& name, const std::string& overview) {
  auto subparser = std::shared_ptr<ArgumentParser>(new ArgumentParser(SubparserTag{}, overview));
  subparsers_[name] = subparser;
  return *subparser;
}

std::shared_ptr<const ArgumentParser::Result> ArgumentParser::parse(
    const std::vector<std::string>& arguments) const {
  return parse(arguments, 0, nullptr);
}

void ArgumentParser::takePositionalWords(std::string name, std::string usage) {
  positional_.emplace(std::move(name), std::move(usage));
}

void ArgumentParser::describeOwnUsage(std::string overview, std::string usageLine) {
  ownUsage_.emplace(std::move(overview), std::move(usageLine));
}

std::shared_ptr<const ArgumentParser::Result> ArgumentParser::parse(
    const std::vector<std::string>& arguments, std::size_t start,
    std::shared_ptr<const Result> parentResult) const {
  auto result = std::make_shared<Result>();
  result->parentResult_ = std::move(parentResult);
  result->parser_ = this;

  bool optionsEnded = false;
  for (std::size_t position = start; position < arguments.size();) {
    const std::string& word = arguments[position++];
    if (!optionsEnded && word == "--" && positional_) {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && isHelpWord(word)) {
      support::StringOutputStream usage;
      printUsage(usage);
      throw HelpRequested(usage.text());
    }
    if (!optionsEnded && !word.empty() && word.front() == '-') {
      readOption(word, arguments, position, *result);
      continue;
    }
    if (!subparsers_.empty()) {
      const auto chosen = subparsers_.find(word);
      if (chosen == subparsers_.end()) {
        std::vector<std::string> names;
        for (const auto& entry : subparsers_) names.push_back(entry.first);
        throw ArgumentParserError::expectedArguments(names).suggesting(word, names);
      }
      result->subparser_ = word;
      return chosen->second->parse(arguments, position, result);
    }
    if (!positional_) throw ArgumentParserError::unexpectedArgument(word);
    result->positionalWords_.push_back(word);
  }
  return result;
}

void ArgumentParser::readOption(const std::string& word, const std::vector<std::string>& arguments,
                                std::size_t& position, Result& result) const {
  // Later entries replace earlier ones, so a short name may shadow another option's long name.
  std::unordered_map<std::string, const AnyArgument*> options;
  for (const auto& option : optionArguments_) {
    options[option->name()] = option.get();
    if (option->shortName()) options[*option->shortName()] = option.get();
  }
  const auto equals = word.find('=');
  const std::string optionWord = word.substr(0, equals);
  std::optional<std::string> attachedValue;
  if (equals != std::string::npos) attachedValue = word.substr(equals + 1);
  const auto found = options.find(optionWord);
  if (found == options.end()) {
    std::vector<std::string> names;
    for (const auto& option : optionArguments_) names.push_back(option->name());
    throw ArgumentParserError::unknownOption(optionWord).suggesting(optionWord, names);
  }
  const AnyArgument& option = *found->second;
  ArgumentValue value = readValue(option, optionWord, attachedValue, arguments, position);
  auto [slot, isFirst] = result.results_.try_emplace(option.name(), value);
  TextList* earlier = isFirst ? nullptr : std::get_if<TextList>(&slot->second);
  if (earlier != nullptr) {
    const TextList& added = std::get<TextList>(value);
    earlier->insert(earlier->end(), added.begin(), added.end());
  } else if (!isFirst) {
    slot->second = std::move(value);
  }
}

}  // namespace korvaster::argparse
