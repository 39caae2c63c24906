#include "core/xib/identifier_stream_rules.h"

#include "core/xib/view_attributes.h"

namespace korvaster {

void IdentifierStreamRules::startElement(std::string_view name, std::vector<xml::AttributeView>& attributes) {
  ViewAttributes own;
  for (const auto& attribute : attributes) own.take(attribute.name, attribute.value);
  if (depth_ > 0) {
    OpenElement& parent = open_[depth_ - 1];
    if (holdsViewIdentifier(parent.isView, parent.hasAccessibility, name)) {
      parent.hasAccessibility = true;
      if (own.identifier()) {
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
  element.isView = own.isView();
  element.hasAccessibility = false;
  if (element.isView) {
    ++counts_.views;
    element.identifier.assign(own.id()->data(), own.id()->size());
  }
}

bool IdentifierStreamRules::endElement(std::string_view& childName,
                                       std::vector<xml::AttributeView>& childAttributes) {
  const OpenElement& element = open_[--depth_];
  if (!element.isView || element.hasAccessibility) return false;
  ++counts_.added;
  childName = ibNames::accessibility;
  forEachNewHolderAttribute(element.identifier,
                            [&childAttributes](std::string_view name, std::string_view value) {
                              childAttributes.push_back({name, value});
                            });
  return true;
}

}  // namespace korvaster
