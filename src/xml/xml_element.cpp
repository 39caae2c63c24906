#include "xml/xml_element.h"

#include <utility>

#include "xml/xml_writer.h"

namespace korvaster::xml {

XmlElement::XmlElement(std::string elementName, std::optional<std::string> elementValue,
                       XmlAttributes elementAttributes)
    : name(std::move(elementName)),
      value(std::move(elementValue)),
      attributes(std::move(elementAttributes)) {}

XmlElement::~XmlElement() { removeAllChildren(); }

void XmlElement::removeAllChildren() {
  // Children that outlive us must not point at freed memory.
  for (const auto& child : children_) {
    if (child->parent_ == this) child->parent_ = nullptr;
  }
  // Tear the subtree down without recursion, so that deeply nested input cannot exhaust the
  // call stack: a child we hold the last reference to hands its own children over first.
  std::vector<std::shared_ptr<XmlElement>> pending = std::move(children_);
  while (!pending.empty()) {
    std::shared_ptr<XmlElement> element = std::move(pending.back());
    pending.pop_back();
    if (element.use_count() == 1) {
      for (auto& grandchild : element->children_) {
        if (grandchild->parent_ == element.get()) grandchild->parent_ = nullptr;
        pending.push_back(std::move(grandchild));
      }
      element->children_.clear();
    }
  }
}

std::shared_ptr<XmlElement> XmlElement::addChild(std::shared_ptr<XmlElement> child) {
  child->parent_ = this;
  children_.push_back(child);
  return child;
}

std::shared_ptr<XmlElement> XmlElement::addChild(std::string childName, std::optional<std::string> childValue,
                                                 XmlAttributes childAttributes) {
  return addChild(
      std::make_shared<XmlElement>(std::move(childName), std::move(childValue), std::move(childAttributes)));
}

int XmlElement::parentsCount() const {
  int count = 0;
  for (const XmlElement* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->parent_) ++count;
  return count;
}

std::string XmlElement::xml() const {
  std::string text;
  XmlWriter::writeElement(*this, parentsCount() - 1, text);
  return text;
}

}  // namespace korvaster::xml
