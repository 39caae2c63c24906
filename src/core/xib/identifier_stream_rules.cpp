#include "core/xib/identifier_stream_rules.h"

#include "core/xib/interface_builder_names.h"

namespace korvaster {

namespace {

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
    if (parent.isView && !parent.hasAccessibility && name == ibNames::accessibility) {
      parent.hasAccessibility = true;
      if (find(attributes, ibNames::identifier) != nullptr) {
        ++counts_.kept;
      } else {
        ++counts_.added;
        pendingIdentifier_ = parent.identifier;
        attributes.push_back({ibNames::identifier, pendingIdentifier_});
      }
    }
  }
  if (open_.size() == depth_) open_.emplace_back();
  OpenElement& element = open_[depth_++];
  const std::string_view* id = find(attributes, ibNames::id);
  element.isView = id != nullptr && find(attributes, ibNames::contentMode) != nullptr;
  element.hasAccessibility = false;
  if (element.isView) {
    ++counts_.views;
    element.identifier.assign(id->data(), id->size());
  }
}

bool IdentifierStreamRules::endElement(std::string_view& childName,
                                       std::vector<xml::AttributeView>& childAttributes) {
  const OpenElement& element = open_[--depth_];
  if (!element.isView || element.hasAccessibility) return false;
  ++counts_.added;
  childName = ibNames::accessibility;
  childAttributes.push_back({ibNames::key, ibNames::accessibilityConfiguration});
  childAttributes.push_back({ibNames::identifier, element.identifier});
  return true;
}

}  // namespace korvaster
