// XmlDocument: the tests' tree model of one XML file, read and written independently of the
// stream rewriter the tool uses, so that the two can be compared. As an element it is named
// "XmlDocument" and has exactly one child: the root element. Texts are kept exactly as read.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "oracle/xml_element.h"
#include "xml/xml_error.h"

namespace korvaster::xml {

class XmlDocument final : public XmlElement {
 public:
  // Reads `data`; throws XmlSyntaxError for malformed input or elements nested deeper than
  // `maximumDepth` (0: no limit), XmlError::parsingFailed when the parser gives no reason.
  explicit XmlDocument(std::string_view data, std::size_t maximumDepth = 0);

  std::shared_ptr<XmlElement> root() const { return children().front(); }

  // <?xml version="1.0" encoding="utf-8" standalone="no"?>, a line feed and the root's text:
  // one element per line, tab indentation, " />" for empty leaves, escaped values, no line
  // feed at the end.
  std::string xml() const;
};

}  // namespace korvaster::xml
