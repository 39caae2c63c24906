// A parser for subcommands and typed options, with usage text. The top-level parser owns
// its subparsers; a parse builds Result objects, each linked to the result one level up.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "argparse/argument_parser_error.h"
#include "argparse/option_argument.h"
#include "support/output_byte_stream.h"

namespace korvaster::argparse {

class ArgumentParser {
 public:
  class Result {
   public:
    // The option's value given at this level or any level above, or nothing.
    template <typename T>
    std::optional<T> get(const OptionArgument<T>& option) const {
      for (const Result* result = this; result != nullptr; result = result->parentResult_.get()) {
        auto found = result->results_.find(option.name());
        if (found != result->results_.end()) {
          if (const T* value = std::get_if<T>(&found->second)) return *value;
        }
      }
      return std::nullopt;
    }

    // The name of the subcommand chosen in `parser`, or nothing.
    std::optional<std::string> subparser(const ArgumentParser& parser) const;

    // The positional words given at this level, in order (see takePositionalWords).
    const std::vector<std::string>& positionalWords() const { return positionalWords_; }

   private:
    friend class ArgumentParser;

    std::map<std::string, ArgumentValue> results_;
    std::shared_ptr<const Result> parentResult_;
    const ArgumentParser* parser_ = nullptr;
    std::optional<std::string> subparser_;
    std::vector<std::string> positionalWords_;
  };

  // A top-level parser; the usage line reads "USAGE: <commandName> <usage>".
  ArgumentParser(std::string commandName, std::string usage, std::string overview,
                 std::optional<std::string> seeAlso = std::nullopt);
  ArgumentParser(const ArgumentParser&) = delete;
  ArgumentParser& operator=(const ArgumentParser&) = delete;

  // Registers a subcommand, replacing any earlier one of that name, and returns its parser.
  ArgumentParser& add(const std::string& name, const std::string& overview);

  // Registers an option of kind T (std::string, bool, or TextList for an option that may be
  // given more than once, every text kept in order; of the others the last one given counts).
  // Both names must begin with "-", or the option can never be given.
  template <typename T>
  std::shared_ptr<OptionArgument<T>> add(std::string option, std::optional<std::string> shortName,
                                         std::string usage) {
    auto argument =
        std::make_shared<OptionArgument<T>>(std::move(option), std::move(shortName), std::move(usage));
    optionArguments_.push_back(argument);
    return argument;
  }

  // Lets a parser without subcommands take the words that are not options, and every word
  // after "--", as positional words; usage lists them as `name` with `usage`. Without it such
  // a word is refused as unexpected, and "--" as an unknown option.
  void takePositionalWords(std::string name, std::string usage);

  // Makes a subcommand's own usage text start with `overview` (in place of the one its parent
  // lists) and the line "USAGE: `usageLine`".
  void describeOwnUsage(std::string overview, std::string usageLine);

  // Parses the words after the program name and returns the deepest result. Throws
  // ArgumentParserError on the first bad word, and HelpRequested with the usage of the
  // parser that meets a help word ("-h", "-help", "--help") that no error came before.
  std::shared_ptr<const Result> parse(const std::vector<std::string>& arguments) const;

  // Writes this parser's usage text to the stream and flushes it.
  void printUsage(support::OutputByteStream& stream) const;

 private:
  struct SubparserTag {};
  ArgumentParser(SubparserTag, std::string overview);

  std::shared_ptr<const Result> parse(const std::vector<std::string>& arguments, std::size_t start,
                                      std::shared_ptr<const Result> parentResult) const;
  // Reads the option `word` (with its value) into `result`; throws ArgumentParserError.
  void readOption(const std::string& word, const std::vector<std::string>& arguments, std::size_t& position,
                  Result& result) const;

  std::map<std::string, std::shared_ptr<ArgumentParser>> subparsers_;
  std::vector<std::shared_ptr<AnyArgument>> optionArguments_;
  std::string commandName_;
  std::string usage_;
  std::string overview_;
  std::optional<std::string> seeAlso_;
  // The name and usage of the positional words, when this parser takes them.
  std::optional<std::pair<std::string, std::string>> positional_;
  // A subcommand's own overview and usage line (see describeOwnUsage).
  std::optional<std::pair<std::string, std::string>> ownUsage_;
  bool isSubparser_ = false;
};

}  // namespace korvaster::argparse
