// A read-only pass over a document that measures how deeply its elements nest, for callers
// that must refuse a deep document before handing it to a reader that recurses.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvaster::xml {

// True when `data` opens with a well-formed root element (after any prolog) and no element
// in it lies more than `maximumDepth` levels deep (the root is at level 1). Reading stops
// where the root element ends, so whatever follows it is neither checked nor refused. False
// on the first element past the limit, on any syntax error before the root element ends and
// on a document without one; never throws.
bool rootElementIsWithinDepth(std::string_view data, std::size_t maximumDepth);

}  // namespace korvaster::xml
