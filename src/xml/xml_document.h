// XmlDocument: the tree of one XML file. As an element it is named "XmlDocument" and, after a
// successful read, has exactly one child: the root element.
#pragma once

#include <memory>
#include <string_view>

#include "xml/xml_element.h"
#include "xml/xml_options.h"

namespace korvaster::xml {

class XmlDocument final : public XmlElement {
 public:
  // A document holding `root` (when given) as its only child.
  explicit XmlDocument(std::shared_ptr<XmlElement> root = nullptr, XmlOptions documentOptions = XmlOptions());
  // Reads `data`; throws XmlSyntaxError for malformed input (XmlError::parsingFailed when
  // the parser gives no reason).
  explicit XmlDocument(std::string_view data, XmlOptions documentOptions = XmlOptions());

  // The first child, or a new detached element named "Error" whose error is rootElementMissing.
  std::shared_ptr<XmlElement> root() const;

  // Drops any earlier root and reads `data` into this document; throws as the constructor.
  void loadXML(std::string_view data);

  // The declaration, a line feed and the root's text; no line feed at the end.
  std::string xml() const override;

  XmlOptions options;
};

}  // namespace korvaster::xml
