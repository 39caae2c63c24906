#include "core/xib/accessibility_identifiers.h"

#include <utility>
#include <vector>

namespace korvaster {

namespace {
constexpr const char* kId = "id";
constexpr const char* kContentMode = "contentMode";
constexpr const char* kAccessibility = "accessibility";
constexpr const char* kKey = "key";
constexpr const char* kIdentifier = "identifier";
}  // namespace

std::optional<std::string> id(const xml::XmlElement& element) {
  const std::string* value = element.attributes.find(kId);
  return value != nullptr ? std::optional<std::string>(*value) : std::nullopt;
}

std::shared_ptr<xml::XmlElement> accessibilityChild(const xml::XmlElement& element) {
  for (const auto& child : element.children()) {
    if (child->name == kAccessibility) return child;
  }
  return nullptr;
}

void transformIdToAccessibility(xml::XmlElement& root) {
  // Depth first with an explicit stack, so that no nesting depth can exhaust the call stack.
  // Children are read by index after their parent is handled, which takes in the
  // accessibility child the parent may just have been given.
  std::vector<std::pair<xml::XmlElement*, std::size_t>> stack;
  auto visit = [&stack](xml::XmlElement& element) {
    if (auto identifier = id(element)) setAccessibility(element, *identifier);
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
}

void setAccessibility(xml::XmlElement& element, const std::string& identifier) {
  if (!element.attributes.contains(kContentMode)) return;
  if (auto accessibility = accessibilityChild(element)) {
    setAccessibilityAttribute(*accessibility, identifier);
  } else {
    element.addChild(createElementAccessibility(identifier));
  }
}

void setAccessibilityAttribute(xml::XmlElement& accessibility, const std::string& identifier) {
  if (accessibility.name != kAccessibility || accessibility.attributes.contains(kIdentifier)) return;
  accessibility.attributes.set(kIdentifier, identifier);
}

std::shared_ptr<xml::XmlElement> createElementAccessibility(const std::string& identifier) {
  return std::make_shared<xml::XmlElement>(
      kAccessibility, std::nullopt,
      xml::XmlAttributes{{kKey, XIBKeys::k_accessibilityConfiguration}, {kIdentifier, identifier}});
}

}  // namespace korvaster
