#include "oracle/accessibility_identifiers.h"

#include <string>
#include <utility>
#include <vector>

#include "core/xib/view_attributes.h"

namespace korvaster {

namespace {

ViewAttributes viewAttributesOf(const xml::XmlElement& element) {
  ViewAttributes attributes;
  for (const auto& [name, value] : element.attributes) attributes.take(name, value);
  return attributes;
}

void setAccessibility(xml::XmlElement& element, IdentifierCounts& counts) {
  const ViewAttributes view = viewAttributesOf(element);
  if (!view.isView()) return;
  ++counts.views;
  const std::string identifier(*view.id());
  for (const auto& child : element.children()) {
    if (!holdsViewIdentifier(true, false, child->name)) continue;
    if (viewAttributesOf(*child).identifier()) {
      ++counts.kept;
    } else {
      ++counts.added;
      child->attributes.set(ibNames::identifier, identifier);
    }
    return;
  }
  ++counts.added;
  xml::XmlAttributes attributes;
  forEachNewHolderAttribute(identifier, [&attributes](std::string_view name, std::string_view value) {
    attributes.emplace_back(name, value);
  });
  element.addChild(ibNames::accessibility, std::nullopt, std::move(attributes));
}

}  // namespace

IdentifierCounts transformIdToAccessibility(xml::XmlElement& root) {
  IdentifierCounts counts;
  // Depth first with an explicit stack, so that no nesting depth can exhaust the call stack.
  // Children are read by index after their parent is handled, which takes in the
  // accessibility child the parent may just have been given.
  std::vector<std::pair<xml::XmlElement*, std::size_t>> stack;
  auto visit = [&stack, &counts](xml::XmlElement& element) {
    setAccessibility(element, counts);
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
