// The escaping and indentation of the layer's text format, shared by the stream rewriter and
// the tests' tree writer so that both write the same bytes.
#pragma once

#include <string>
#include <string_view>

namespace korvaster::xml {

// Appends `text` with "&", "<", ">", "'", '"' and carriage returns as references.
void appendEscapedText(std::string& out, std::string_view text);
// The same, and line feeds and tabs too, so that an attribute value survives a re-read.
void appendEscapedAttributeValue(std::string& out, std::string_view text);

inline void appendIndent(std::string& out, std::size_t depth) {
  if (depth > 0) out.append(depth, '\t');
}

}  // namespace korvaster::xml
