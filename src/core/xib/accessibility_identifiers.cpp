#include "core/xib/accessibility_identifiers.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/xib/interface_builder_names.h"

namespace korvaster {

namespace {

xml::XmlElement* accessibilityChild(const xml::XmlElement& element) {
  for (const auto& child : element.children()) {
    if (child->name == ibNames::accessibility) return child.get();
  }
  return nullptr;
}

void setAccessibility(xml::XmlElement& element, const std::string& identifier, IdentifierCounts& counts) {
  if (!element.attributes.contains(ibNames::contentMode)) return;
  ++counts.views;
  if (xml::XmlElement* accessibility = accessibilityChild(element)) {
    if (accessibility->attributes.contains(ibNames::identifier)) {
      ++counts.kept;
      return;
    }
    ++counts.added;
    accessibility->attributes.set(ibNames::identifier, identifier);
  } else {
    ++counts.added;
    element.addChild(ibNames::accessibility, std::nullopt,
                     xml::XmlAttributes{{ibNames::key, ibNames::accessibilityConfiguration},
                                        {ibNames::identifier, identifier}});
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
    if (const std::string* identifier = element.attributes.find(ibNames::id)) {
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
