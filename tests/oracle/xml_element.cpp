#include "oracle/xml_element.h"

#include <utility>

namespace korvaster::xml {

XmlElement::XmlElement(std::string elementName, std::optional<std::string> elementValue,
                       XmlAttributes elementAttributes)
    : name(std::move(elementName)), value(std::move(elementValue)), attributes(std::move(elementAttributes)) {}

XmlElement::~XmlElement() {
  // Without recursion, so that deeply nested input cannot exhaust the call stack: a child we
  // hold the last reference to hands its own children over first.
  std::vector<std::shared_ptr<XmlElement>> pending = std::move(children_);
  while (!pending.empty()) {
    std::shared_ptr<XmlElement> element = std::move(pending.back());
    pending.pop_back();
    if (element.use_count() > 1) continue;
    for (auto& grandchild : element->children_) pending.push_back(std::move(grandchild));
    element->children_.clear();
  }
}

std::shared_ptr<XmlElement> XmlElement::addChild(std::string childName, std::optional<std::string> childValue,
                                                 XmlAttributes childAttributes) {
  return children_.emplace_back(
      std::make_shared<XmlElement>(std::move(childName), std::move(childValue), std::move(childAttributes)));
}

}  // namespace korvaster::xml
