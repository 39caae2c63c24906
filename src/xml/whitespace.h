// Trimming of whitespace-and-newline characters at both ends of UTF-8 text.
#pragma once

#include <string>

namespace korvaster::xml {

// Removes U+0009 to U+000D, U+0085 and the Unicode space, line and paragraph separators
// (categories Zs, Zl, Zp) from both ends, in place.
void trimWhitespaceAndNewlines(std::string& text);

}  // namespace korvaster::xml
