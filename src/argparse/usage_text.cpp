// The usage text of a parser: overview, usage line, options, subcommands and see-also,
// with descriptions aligned in one column.
#include <algorithm>

#include "argparse/argument_parser.h"

namespace korvaster::argparse {

namespace {

constexpr std::size_t kMaximumColumn = 24;

std::string entryText(const AnyArgument& option) {
  std::string text = option.name();
  if (option.shortName()) text += ", " + *option.shortName();
  return text;
}

// Descriptions start C + 2 characters into their line; a name too wide for that puts its
// description on the next line. Names are ASCII (the option table checks it), so bytes are
// characters.
void writeEntry(support::OutputByteStream& stream, std::size_t column, const std::string& name,
                const std::string& description) {
  stream << "\n  " << name;
  if (name.size() + 2 < column) {
    stream << std::string(column - name.size(), ' ');
  } else {
    stream << "\n" << std::string(column + 2, ' ');
  }
  stream << description;
}

}  // namespace

void ArgumentParser::printUsage(support::OutputByteStream& stream) const {
  std::size_t longest = 0;
  for (const auto& option : optionArguments_) {
    longest = std::max(longest, entryText(*option).size());
  }
  if (positional_) longest = std::max(longest, positional_->first.size());
  const std::size_t column = (longest == 0 || longest >= kMaximumColumn) ? kMaximumColumn : longest + 3;

  stream << "OVERVIEW: " << (ownUsage_ ? ownUsage_->first : overview_);
  if (!isSubparser_) stream << "\n\nUSAGE: " << commandName_ << " " << usage_;
  if (ownUsage_) stream << "\n\nUSAGE: " << ownUsage_->second;

  if (positional_) {
    stream << "\n\nARGUMENTS:";
    writeEntry(stream, column, positional_->first, positional_->second);
  }

  if (!optionArguments_.empty()) {
    stream << "\n\nOPTIONS:";
    std::vector<const AnyArgument*> sorted;
    for (const auto& option : optionArguments_) sorted.push_back(option.get());
    std::stable_sort(sorted.begin(), sorted.end(), [](const AnyArgument* left, const AnyArgument* right) {
      return left->name() < right->name();
    });
    for (const AnyArgument* option : sorted) {
      writeEntry(stream, column, entryText(*option), option->usage());
    }
    if (!isSubparser_) writeEntry(stream, column, "--help", "Display available options");
  }

  if (!subparsers_.empty()) {
    stream << "\n\nSUBCOMMANDS:";
    for (const auto& [name, subparser] : subparsers_) {
      writeEntry(stream, column, name, subparser->overview_);
    }
  }

  if (seeAlso_) stream << "\n\nSEE ALSO: " << *seeAlso_;
  stream << "\n";
  stream.flush();
}

}  // namespace korvaster::argparse
