// CommandOptions: the options one parser level registers from the option table, read back
// as Arguments. The table's order is the order of registration and of the Arguments a
// parse returns.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "argparse/argument_parser.h"
#include "core/options/argument.h"
#include "core/options/command_line_table.h"

namespace korvaster {

class CommandOptions {
 public:
  // Registers on `parser`, in table order, the rows that `level` takes.
  CommandOptions(argparse::ArgumentParser& parser, CommandLevel level);

  // The registered options given at this level or above, in table order: a text option
  // with its text, a list option once for each text, in order, a switch with an empty value
  // (also when given "=false"); then the positional words the level takes, in order.
  Arguments read(const argparse::ArgumentParser::Result& result) const;

 private:
  struct Registered {
    ArgumentType type;
    // Exactly one of the three is set, after the row's kind.
    std::shared_ptr<argparse::OptionArgument<std::string>> text;
    std::shared_ptr<argparse::OptionArgument<argparse::TextList>> list;
    std::shared_ptr<argparse::OptionArgument<bool>> toggle;
  };
  std::vector<Registered> registered_;
  // The kind of the positional words, at a level that takes them.
  std::optional<ArgumentType> positionalType_;
};

}  // namespace korvaster
