// What the tool changes in an Interface Builder tree: every view (an element with both an
// "id" and a "contentMode") gets an accessibility child whose identifier is its id.
#pragma once

#include "xml/xml_element.h"

namespace korvaster {

// Walks the element and all its descendants, parents before children, giving each view its
// identifier: its first child named "accessibility" gets an "identifier" when it has none,
// and a view without such a child gets
// <accessibility key="accessibilityConfiguration" identifier="ID" /> as its last child.
// Existing identifiers are kept; running it twice adds nothing.
void transformIdToAccessibility(xml::XmlElement& element);

}  // namespace korvaster
