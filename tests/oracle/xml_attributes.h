// The attributes of one element of the tests' tree model: names and decoded values, kept in
// the order in which they stood in the file; new names are appended at the end.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvaster::xml {

struct XmlAttributes : std::vector<std::pair<std::string, std::string>> {
  using vector::vector;

  // The value of `name`, or null when the element has no such attribute.
  const std::string* find(std::string_view name) const {
    for (const auto& entry : *this) {
      if (entry.first == name) return &entry.second;
    }
    return nullptr;
  }
  bool contains(std::string_view name) const { return find(name) != nullptr; }
  // Replaces the value in place, or appends the attribute when it is new.
  void set(std::string_view name, std::string value) {
    for (auto& entry : *this) {
      if (entry.first == name) return void(entry.second = std::move(value));
    }
    emplace_back(name, std::move(value));
  }
};

}  // namespace korvaster::xml
