// XmlDocument: the tree of one XML file. As an element it is named "XmlDocument" and has
// exactly one child: the root element.
#pragma once

#include <memory>
#include <string_view>

#include "xml/xml_element.h"
#include "xml/xml_error.h"
#include "xml/xml_options.h"

namespace korvaster::xml {

class XmlDocument final : public XmlElement {
 public:
  // Reads `data`; throws XmlSyntaxError for malformed input (XmlError::parsingFailed when
  // the parser gives no reason).
  explicit XmlDocument(std::string_view data, XmlOptions documentOptions = XmlOptions());

  std::shared_ptr<XmlElement> root() const { return children().front(); }

  // <?xml version="1.0" encoding="utf-8" standalone="no"?>, a line feed and the root's
  // text; no line feed at the end.
  std::string xml() const override;

  XmlOptions options;
};

}  // namespace korvaster::xml
