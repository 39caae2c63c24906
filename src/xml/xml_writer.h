// XmlWriter: the text format every rewritten file has: one element per line, tab
// indentation, " />" for empty leaves, escaped values, no line feed at the end.
#pragma once

#include <string>

namespace korvaster::xml {

class XmlElement;

class XmlWriter {
 public:
  // Appends `element` and its subtree to `out`, the element at `depth` (tabs only when > 0).
  static void writeElement(const XmlElement& element, int depth, std::string& out);
};

}  // namespace korvaster::xml
