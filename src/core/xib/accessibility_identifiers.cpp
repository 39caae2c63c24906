#include "core/xib/accessibility_identifiers.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace korvaster {

namespace {

constexpr const char* kId = "id";
constexpr const char* kContentMode = "contentMode";
constexpr const char* kAccessibility = "accessibility";
constexpr const char* kKey = "key";
constexpr const char* kIdentifier = "identifier";
constexpr const char* kAccessibilityConfiguration = "accessibilityConfiguration";

xml::XmlElement* accessibilityChild(const xml::XmlElement& element) {
  for (const auto& child : element.children()) {
    if (child->name == kAccessibility) return child.get();
  }
  return nullptr;
}

void setAccessibility(xml::XmlElement& element, const std::string& identifier, IdentifierCounts& counts) {
  if (!element.attributes.contains(kContentMode)) return;
  ++counts.views;
  if (xml::XmlElement* accessibility = accessibilityChild(element)) {
    if (accessibility->attributes.contains(kIdentifier)) {
      ++counts.kept;
      return;
    }
    ++counts.added;
    accessibility->attributes.set(kIdentifier, identifier);
  } else {
    ++counts.added;
    element.addChild(kAccessibility, std::nullopt,
                     xml::XmlAttributes{{kKey, kAccessibilityConfiguration}, {kIdentifier, identifier}});
  }
}

}  // namespace

IdentifierCounts transformIdToAccessibility(xml::XmlElement& root) {
  IdentifierCounts counts;
  // Depth first with an explicit stack, so that no nesting depth can exhaust the call stack.
  // Children are read by index after their parent is handled, which takes in the
  // accessibility child the parent may just have been given.
  std::vector<std::pair<xml::XmlElement*, std::size_t>> stack;
  auto visit = [&stack, &counts](xml::XmlElement& element) {
    if (const std::string* identifier = element.attributes.find(kId)) {
      setAccessibility(element, *identifier, counts);
    }
    stack.emplace_back(&element, 0);
  };
  visit(root);
  while (!stack.empty()) {
    auto& [element, next] = stack.back();
    if (next == element->children().size()) {
      stack.pop_back();
      continue;
    }
    xml::XmlElement& child = *element->children()[next++];
    visit(child);
  }
  return counts;
}

}  // namespace korvaster
