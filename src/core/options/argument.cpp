#include "core/options/argument.h"

#include <algorithm>

namespace korvaster {

std::optional<std::string> lookup(const Arguments& arguments, ArgumentType type) {
  for (const auto& argument : arguments) {
    if (argument.type == type) return argument.value;
  }
  return std::nullopt;
}

std::vector<std::string> lookupAll(const Arguments& arguments, ArgumentType type) {
  std::vector<std::string> values;
  for (const auto& argument : arguments) {
    if (argument.type == type) values.push_back(argument.value);
  }
  return values;
}

bool contains(const Arguments& arguments, ArgumentType type) {
  return std::any_of(arguments.begin(), arguments.end(),
                     [type](const Argument& argument) { return argument.type == type; });
}

}  // namespace korvaster
