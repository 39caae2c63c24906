#include "core/xib/identifier_stream_rules.h"

namespace korvaster {

namespace {

constexpr std::string_view kId = "id";
constexpr std::string_view kContentMode = "contentMode";
constexpr std::string_view kAccessibility = "accessibility";
constexpr std::string_view kKey = "key";
constexpr std::string_view kIdentifier = "identifier";
constexpr std::string_view kAccessibilityConfiguration = "accessibilityConfiguration";

const std::string_view* find(const std::vector<xml::AttributeView>& attributes, std::string_view name) {
  for (const auto& attribute : attributes) {
    if (attribute.name == name) return &attribute.value;
  }
  return nullptr;
}

}  // namespace

void IdentifierStreamRules::startElement(std::string_view name, std::vector<xml::AttributeView>& attributes) {
  if (depth_ > 0) {
    OpenElement& parent = open_[depth_ - 1];
    // Only a view's first accessibility child carries its identifier.
    if (parent.isView && !parent.hasAccessibility && name == kAccessibility) {
      parent.hasAccessibility = true;
      if (find(attributes, kIdentifier) != nullptr) {
        ++counts_.kept;
      } else {
        ++counts_.added;
        pendingIdentifier_ = parent.identifier;
        attributes.push_back({kIdentifier, pendingIdentifier_});
      }
    }
  }
  if (open_.size() == depth_) open_.emplace_back();
  OpenElement& element = open_[depth_++];
  const std::string_view* id = find(attributes, kId);
  element.isView = id != nullptr && find(attributes, kContentMode) != nullptr;
  element.hasAccessibility = false;
  if (element.isView) {
    ++counts_.views;
    element.identifier.assign(id->data(), id->size());
  }
}

bool IdentifierStreamRules::endElement(std::string_view& childName, std::vector<xml::AttributeView>& childAttributes) {
  const OpenElement& element = open_[--depth_];
  if (!element.isView || element.hasAccessibility) return false;
  ++counts_.added;
  childName = kAccessibility;
  childAttributes.push_back({kKey, kAccessibilityConfiguration});
  childAttributes.push_back({kIdentifier, element.identifier});
  return true;
}

}  // namespace korvaster
