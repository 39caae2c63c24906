// What the tool changes in an Interface Builder tree: every view (an element with both an
// "id" and a "contentMode") gets an accessibility child whose identifier is its id.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "xml/xml_element.h"

namespace korvaster {

namespace XIBKeys {
inline constexpr const char* k_accessibilityConfiguration = "accessibilityConfiguration";
}

// The element's "id" attribute, if any.
std::optional<std::string> id(const xml::XmlElement& element);
// The first child named exactly "accessibility", or null.
std::shared_ptr<xml::XmlElement> accessibilityChild(const xml::XmlElement& element);

// Walks the element and all its descendants, parents before children, giving each view its
// identifier. Existing identifiers are kept; running it twice adds nothing.
void transformIdToAccessibility(xml::XmlElement& element);
// Gives one view its identifier: completes its accessibility child, or appends a new one.
// Elements without "contentMode" are left alone.
void setAccessibility(xml::XmlElement& element, const std::string& identifier);
// Sets "identifier" on an accessibility element that has none.
void setAccessibilityAttribute(xml::XmlElement& accessibility, const std::string& identifier);
// <accessibility key="accessibilityConfiguration" identifier="IDENTIFIER" />
std::shared_ptr<xml::XmlElement> createElementAccessibility(const std::string& identifier);

}  // namespace korvaster
