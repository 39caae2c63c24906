// The identifier rules over the tests' tree model: what the tool's stream rules must write,
// made by walking a whole tree instead.
#pragma once

#include "core/xib/identifier_counts.h"
#include "oracle/xml_element.h"

namespace korvaster {

// Walks the element and all its descendants, parents before children, giving each view its
// identifier: the child that holds it gets an "identifier" when it has none, and a view
// without such a child gets <accessibility key="accessibilityConfiguration" identifier="ID" />
// as its last child. Existing identifiers are kept; running it twice adds nothing.
IdentifierCounts transformIdToAccessibility(xml::XmlElement& element);

}  // namespace korvaster
