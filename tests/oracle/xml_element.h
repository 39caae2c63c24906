// XmlElement: one node of the tests' tree model. An element owns its children (shared, so a
// caller holding a child keeps it alive).
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

  const std::vector<std::shared_ptr<XmlElement>>& children() const { return children_; }
  std::shared_ptr<XmlElement> addChild(std::string childName, std::optional<std::string> childValue = std::nullopt,
                                       XmlAttributes childAttributes = {});

  std::string name;
  // Absent means no text at all, which is written differently from empty text.
  std::optional<std::string> value;
  XmlAttributes attributes;

 private:
  std::vector<std::shared_ptr<XmlElement>> children_;
};

}  // namespace korvaster::xml
