// XmlTreeBuilder: the event handler of one read. It turns the parser's start-tag, text and
// end-tag events into elements under the document.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "xml/xml_document.h"
#include "xml/xml_error.h"

namespace korvaster::xml {

class XmlTreeBuilder {
 public:
  XmlTreeBuilder(XmlDocument& document, std::string_view data);

  // Runs the whole read in one call. Throws the parser's XmlSyntaxError on malformed input,
  // or XmlError::parsingFailed when the parser failed without saying why.
  void parse();

  // The parser's events; public so that the C callbacks can reach them.
  void didStartElement(const char* name, const char** attributes);
  void foundCharacters(std::string_view text);
  void didEndElement();
  void parseErrorOccurred(XmlSyntaxError error);

 private:
  XmlDocument& document_;
  std::string_view data_;
  XmlElement* currentParent_;
  XmlElement* currentElement_ = nullptr;
  std::string currentValue_;
  std::optional<XmlSyntaxError> parseError_;
  std::optional<bool> trimWhitespace_;
  void* parser_ = nullptr;  // the running expat parser, so that a handler can stop it
  std::size_t depth_ = 0;
};

}  // namespace korvaster::xml
