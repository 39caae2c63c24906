// XmlElement: one node of the tests' tree model. An element owns its children (shared, so a
// caller holding a child keeps it alive); a child points back at its parent without owning it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "oracle/xml_attributes.h"

namespace korvaster::xml {

class XmlElement {
 public:
  explicit XmlElement(std::string elementName, std::optional<std::string> elementValue = std::nullopt,
                      XmlAttributes elementAttributes = {});
  virtual ~XmlElement();
  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;

  // The element this one was last added to, or null (also once that element is gone).
  XmlElement* parent() const { return parent_; }
  const std::vector<std::shared_ptr<XmlElement>>& children() const { return children_; }

  // Sets the child's parent to this element and appends it. Does not remove the child from
  // an earlier parent's list.
  std::shared_ptr<XmlElement> addChild(std::string childName,
                                       std::optional<std::string> childValue = std::nullopt,
                                       XmlAttributes childAttributes = {});

  std::string name;
  // Absent means no text at all, which is written differently from empty text.
  std::optional<std::string> value;
  XmlAttributes attributes;

 private:
  XmlElement* parent_ = nullptr;
  std::vector<std::shared_ptr<XmlElement>> children_;
};

}  // namespace korvaster::xml
