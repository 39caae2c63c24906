// The attributes of one element of the tests' tree model: names and decoded values, kept in
// the order in which they stood in the file; new names are appended at the end.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvaster::xml {

class XmlAttributes {
 public:
  using Entry = std::pair<std::string, std::string>;

  XmlAttributes() = default;
  XmlAttributes(std::initializer_list<Entry> entries) : entries_(entries) {}

  // The value of `name`, or null when the element has no such attribute.
  const std::string* find(std::string_view name) const {
    for (const auto& entry : entries_) {
      if (entry.first == name) return &entry.second;
    }
    return nullptr;
  }
  bool contains(std::string_view name) const { return find(name) != nullptr; }
  // Replaces the value in place, or appends the attribute when it is new.
  void set(std::string_view name, std::string value) {
    for (auto& entry : entries_) {
      if (entry.first == name) {
        entry.second = std::move(value);
        return;
      }
    }
    append(std::string(name), std::move(value));
  }
  // Appends without looking for an earlier entry; for readers that know names are unique.
  void append(std::string name, std::string value) {
    entries_.emplace_back(std::move(name), std::move(value));
  }

  std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
  std::vector<Entry>::const_iterator end() const { return entries_.end(); }

  bool operator==(const XmlAttributes& other) const { return entries_ == other.entries_; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace korvaster::xml
