// XmlElement: one node of an element tree. An element owns its children (shared, so a
// caller holding a child keeps it alive); a child points back at its parent without owning it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_attributes.h"
#include "xml/xml_error.h"

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

  // The value, or the empty text when there is none.
  std::string string() const { return value.value_or(std::string()); }

  // Sets the child's parent to this element and appends it. Does not remove the child from
  // an earlier parent's list.
  std::shared_ptr<XmlElement> addChild(std::shared_ptr<XmlElement> child);
  std::shared_ptr<XmlElement> addChild(std::string childName,
                                       std::optional<std::string> childValue = std::nullopt,
                                       XmlAttributes childAttributes = {});

  // The text of this element and everything below it, indented by its depth, without a
  // final line feed.
  virtual std::string xml() const;

  std::string name;
  // Absent means no text at all, which is written differently from empty text.
  std::optional<std::string> value;
  XmlAttributes attributes;
  // Set only on the placeholder that XmlDocument::root() returns for a document without root.
  std::optional<XmlError> error;

 protected:
  friend class XmlWriter;
  int parentsCount() const;
  void removeAllChildren();

 private:
  XmlElement* parent_ = nullptr;
  std::vector<std::shared_ptr<XmlElement>> children_;
};

// "&", "<", ">", "'" and '"' replaced by their references. In attribute values line feeds,
// carriage returns and tabs also become character references, so they survive a re-read.
std::string xmlEscaped(std::string_view text);
std::string xmlEscapedAttribute(std::string_view text);

}  // namespace korvaster::xml
