// What the tool changes in an Interface Builder tree: every view (an element with both an
// "id" and a "contentMode") gets an accessibility child whose identifier is its id.
#pragma once

#include <cstddef>

#include "xml/xml_element.h"

namespace korvaster {

// What the rules found in one tree: its views, the identifiers they were given and the ones
// they already had.
struct IdentifierCounts {
  std::size_t views = 0;
  std::size_t added = 0;
  std::size_t kept = 0;
};

// Walks the element and all its descendants, parents before children, giving each view its
// identifier: its first child named "accessibility" gets an "identifier" when it has none,
// and a view without such a child gets
// <accessibility key="accessibilityConfiguration" identifier="ID" /> as its last child.
// Existing identifiers are kept; running it twice adds nothing.
IdentifierCounts transformIdToAccessibility(xml::XmlElement& element);

}  // namespace korvaster
