#include "core/options/command_options.h"

#include <algorithm>
#include <optional>

namespace korvaster {

namespace {

// The commands that take files teach their own usage: every option with its value's name, and
// the files last; their overview's pointer to -h would point at itself.
void describeOwnUsage(argparse::ArgumentParser& parser, CommandLevel level, const PositionalSpec& positional) {
  std::string usage = std::string(Constants::CommandInfo::Name) + " " + subcommandSpecOf(level).name;
  for (const OptionSpec& option : kOptionTable) {
    if (!option.takenAt(level)) continue;
    const char* value = valueNameOf(option);
    usage += std::string(" [") + option.name + (value ? std::string(" ") + value : "") + "]" +
             (option.kind == OptionKind::list ? "..." : "");
  }
  std::string overview = subcommandSpecOf(level).overview;
  const std::string pointer = " See -h for options.";
  const std::size_t kept = overview.size() - std::min(overview.size(), pointer.size());
  if (overview.compare(kept, std::string::npos, pointer) == 0) overview.erase(kept);
  parser.describeOwnUsage(overview, usage + " [" + positional.name + "]");
}

}  // namespace

CommandOptions::CommandOptions(argparse::ArgumentParser& parser, CommandLevel level) {
  for (const OptionSpec& option : kOptionTable) {
    if (!option.takenAt(level)) continue;
    std::optional<std::string> shortName;
    if (option.shortName != nullptr) shortName = option.shortName;
    Registered entry{option.type, nullptr, nullptr, nullptr};
    switch (option.kind) {
      case OptionKind::text:
        entry.text = parser.add<std::string>(option.name, shortName, option.usage);
        break;
      case OptionKind::list:
        entry.list = parser.add<argparse::TextList>(option.name, shortName, option.usage);
        break;
      case OptionKind::toggle:
        entry.toggle = parser.add<bool>(option.name, shortName, option.usage);
        break;
    }
    registered_.push_back(std::move(entry));
  }
  for (const PositionalSpec& positional : kPositionalTable) {
    if ((positional.levels & takenBy({level})) == 0) continue;
    parser.takePositionalWords(positional.name, positional.usage);
    positionalType_ = positional.type;
    describeOwnUsage(parser, level, positional);
  }
}

Arguments CommandOptions::read(const argparse::ArgumentParser::Result& result) const {
  Arguments arguments;
  for (const Registered& entry : registered_) {
    if (entry.text) {
      if (auto value = result.get(*entry.text)) arguments.emplace_back(entry.type, std::move(*value));
    } else if (entry.list) {
      if (auto values = result.get(*entry.list)) {
        for (auto& value : *values) arguments.emplace_back(entry.type, std::move(value));
      }
    } else if (result.get(*entry.toggle)) {
      arguments.emplace_back(entry.type, std::string());
    }
  }
  if (positionalType_) {
    for (const std::string& word : result.positionalWords()) arguments.emplace_back(*positionalType_, word);
  }
  return arguments;
}

}  // namespace korvaster
