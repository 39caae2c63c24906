// Whether two element trees hold what the writer keeps: names, attributes (in order), the
// children in order, and the value of each element without children. Shared by the tests
// and the fuzz target.
#pragma once

#include <utility>
#include <vector>

#include "oracle/xml_element.h"

namespace korvaster::xml {

inline bool sameTree(const XmlElement& left, const XmlElement& right) {
  // An explicit stack: fuzzed input may nest far deeper than the call stack allows.
  std::vector<std::pair<const XmlElement*, const XmlElement*>> pending{{&left, &right}};
  while (!pending.empty()) {
    const auto [a, b] = pending.back();
    pending.pop_back();
    if (a->name != b->name || !(a->attributes == b->attributes) ||
        a->children().size() != b->children().size()) {
      return false;
    }
    // The value of an element with children is not written, so it is not compared.
    if (a->children().empty() && a->value != b->value) return false;
    for (std::size_t index = 0; index < a->children().size(); ++index) {
      pending.emplace_back(a->children()[index].get(), b->children()[index].get());
    }
  }
  return true;
}

}  // namespace korvaster::xml
