#include "xml/xml_attributes.h"

namespace korvaster::xml {

XmlAttributes::XmlAttributes(std::initializer_list<Entry> entries) {
  for (const auto& [name, value] : entries) set(name, value);
}

const std::string* XmlAttributes::find(std::string_view name) const {
  for (const auto& entry : entries_) {
    if (entry.first == name) return &entry.second;
  }
  return nullptr;
}

void XmlAttributes::set(std::string_view name, std::string value) {
  for (auto& entry : entries_) {
    if (entry.first == name) {
      entry.second = std::move(value);
      return;
    }
  }
  entries_.emplace_back(std::string(name), std::move(value));
}

}  // namespace korvaster::xml
