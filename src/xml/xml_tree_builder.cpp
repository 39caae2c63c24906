#include "xml/xml_tree_builder.h"

#include <string>

#include "xml/expat_parser.h"
#include "xml/whitespace.h"

namespace korvaster::xml {

namespace {

XmlTreeBuilder& builderOf(void* userData) { return *static_cast<XmlTreeBuilder*>(userData); }

void XMLCALL onStartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
  builderOf(userData).didStartElement(name, attributes);
}

void XMLCALL onEndElement(void* userData, const XML_Char*) { builderOf(userData).didEndElement(); }

void XMLCALL onCharacters(void* userData, const XML_Char* text, int length) {
  builderOf(userData).foundCharacters(std::string_view(text, static_cast<std::size_t>(length)));
}

}  // namespace

XmlTreeBuilder::XmlTreeBuilder(XmlDocument& document, std::string_view data)
    : document_(document), data_(data), currentParent_(&document) {}

void XmlTreeBuilder::parse() {
  const ExpatParser parser = makeExpatParser();
  if (!parser) throw XmlError::parsingFailed();
  XML_SetUserData(parser.get(), this);
  parser_ = parser.get();
  XML_SetElementHandler(parser.get(), onStartElement, onEndElement);
  XML_SetCharacterDataHandler(parser.get(), onCharacters);

  if (parseAll(parser.get(), data_) != XML_STATUS_OK) {
    // A handler that stopped the parser has already said why.
    if (parseError_) throw *parseError_;
    throwSyntaxError(parser.get());
  }
}

void XmlTreeBuilder::didStartElement(const char* name, const char** attributes) {
  const std::size_t limit = document_.options.parserSettings.maximumDepth;
  if (limit > 0 && ++depth_ > limit) {
    auto* parser = static_cast<XML_Parser>(parser_);
    parseErrorOccurred(XmlSyntaxError(static_cast<int>(XML_ERROR_ABORTED),
                                      "elements nested deeper than " + std::to_string(limit) + " levels",
                                      XML_GetCurrentLineNumber(parser),
                                      XML_GetCurrentColumnNumber(parser) + 1));
    XML_StopParser(parser, XML_FALSE);
    return;
  }
  // The text collected so far belongs to the element it was found in; a new start tag
  // ends that collection.
  if (currentElement_ != nullptr && !currentValue_.empty()) currentElement_->value = std::move(currentValue_);
  currentValue_.clear();
  if (currentParent_ != nullptr) {
    XmlAttributes map;
    std::size_t count = 0;
    while (attributes[2 * count] != nullptr) ++count;
    map.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
      map.append(attributes[2 * index], attributes[2 * index + 1]);
    currentElement_ = currentParent_->addChild(name, std::nullopt, std::move(map)).get();
  } else {
    currentElement_ = nullptr;
  }
  currentParent_ = currentElement_;
}

void XmlTreeBuilder::foundCharacters(std::string_view text) {
  // Text after an end tag is stored nowhere, so there is no need to collect it.
  if (currentElement_ != nullptr) currentValue_.append(text);
}

void XmlTreeBuilder::didEndElement() {
  if (depth_ > 0) --depth_;
  if (currentElement_ != nullptr) {
    if (!currentValue_.empty()) currentElement_->value = std::move(currentValue_);
    currentValue_.clear();
    if (!trimWhitespace_) trimWhitespace_ = document_.options.parserSettings.shouldTrimWhitespace;
    if (*trimWhitespace_ && currentElement_->value) trimWhitespaceAndNewlines(*currentElement_->value);
  }
  currentParent_ = currentParent_ != nullptr ? currentParent_->parent() : nullptr;
  currentElement_ = nullptr;
}

void XmlTreeBuilder::parseErrorOccurred(XmlSyntaxError error) { parseError_ = std::move(error); }

}  // namespace korvaster::xml
