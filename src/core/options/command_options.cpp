#include "core/options/command_options.h"

#include <algorithm>
#include <optional>

namespace korvaster {

namespace {

constexpr bool startsWithDash(const char* name) { return name != nullptr && name[0] == '-'; }

// The parser only takes words beginning with "-" as options.
constexpr bool everyNameStartsWithDash() {
  for (const OptionSpec& option : kOptionTable) {
    if (!startsWithDash(option.name)) return false;
    if (option.shortName != nullptr && !startsWithDash(option.shortName)) return false;
  }
  return true;
}
static_assert(everyNameStartsWithDash(), "an option name without a leading dash can never be given");

}  // namespace

CommandOptions::CommandOptions(argparse::ArgumentParser& parser, std::initializer_list<ArgumentType> types) {
  for (const OptionSpec& option : kOptionTable) {
    if (std::find(types.begin(), types.end(), option.type) == types.end()) continue;
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
  return arguments;
}

}  // namespace korvaster
