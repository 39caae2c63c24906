#include "core/options/argument.h"

#include <algorithm>

namespace korvaster {

std::optional<std::string> lookup(const Arguments& arguments, ArgumentType type) {
  for (const auto& argument : arguments) {
    if (argument.type == type) return argument.value;
  }
  return std::nullopt;
}

bool contains(const Arguments& arguments, ArgumentType type) {
  return std::any_of(arguments.begin(), arguments.end(),
                     [type](const Argument& argument) { return argument.type == type; });
}

}  // namespace korvaster

std::size_t std::hash<korvaster::Argument>::operator()(const korvaster::Argument& argument) const noexcept {
  const std::size_t typeHash = std::hash<int>{}(static_cast<int>(argument.type));
  const std::size_t valueHash = std::hash<std::string>{}(argument.value);
  return typeHash ^ (valueHash + 0x9e3779b97f4a7c15ULL + (typeHash << 6) + (typeHash >> 2));
}
