#include "oracle/xml_document.h"

#include <optional>
#include <string>
#include <vector>

#include "xml/expat_parser.h"
#include "xml/xml_escaping.h"

namespace korvaster::xml {

namespace {

// The event handler of one read: turns the parser's start-tag, text and end-tag events into
// elements under the document.
class TreeBuilder {
 public:
  TreeBuilder(XmlDocument& document, XML_Parser parser, std::size_t maximumDepth)
      : parser_(parser), maximumDepth_(maximumDepth), currentParent_(&document) {}

  void didStartElement(const char* name, const char** attributes) {
    if (maximumDepth_ > 0 && ++depth_ > maximumDepth_) {
      parseError_.emplace(static_cast<int>(XML_ERROR_ABORTED),
                          "elements nested deeper than " + std::to_string(maximumDepth_) + " levels",
                          XML_GetCurrentLineNumber(parser_), XML_GetCurrentColumnNumber(parser_) + 1);
      XML_StopParser(parser_, XML_FALSE);
      return;
    }
    // The text collected so far belongs to the element it was found in; a new start tag
    // ends that collection.
    if (currentElement_ != nullptr && !currentValue_.empty())
      currentElement_->value = std::move(currentValue_);
    currentValue_.clear();
    if (currentParent_ != nullptr) {
      XmlAttributes map;
      for (const char** attribute = attributes; *attribute != nullptr; attribute += 2)
        map.append(attribute[0], attribute[1]);
      currentElement_ = currentParent_->addChild(name, std::nullopt, std::move(map)).get();
    } else {
      currentElement_ = nullptr;
    }
    currentParent_ = currentElement_;
  }

  void foundCharacters(std::string_view text) {
    // Text after an end tag is stored nowhere, so there is no need to collect it.
    if (currentElement_ != nullptr) currentValue_.append(text);
  }

  void didEndElement() {
    if (depth_ > 0) --depth_;
    if (currentElement_ != nullptr && !currentValue_.empty())
      currentElement_->value = std::move(currentValue_);
    currentValue_.clear();
    currentParent_ = currentParent_ != nullptr ? currentParent_->parent() : nullptr;
    currentElement_ = nullptr;
  }

  const std::optional<XmlSyntaxError>& parseError() const { return parseError_; }

 private:
  XML_Parser parser_;
  std::size_t maximumDepth_;
  std::size_t depth_ = 0;
  XmlElement* currentParent_;
  XmlElement* currentElement_ = nullptr;
  std::string currentValue_;
  std::optional<XmlSyntaxError> parseError_;
};

TreeBuilder& builderOf(void* userData) { return *static_cast<TreeBuilder*>(userData); }

void XMLCALL onStartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
  builderOf(userData).didStartElement(name, attributes);
}

void XMLCALL onEndElement(void* userData, const XML_Char*) { builderOf(userData).didEndElement(); }

void XMLCALL onCharacters(void* userData, const XML_Char* text, int length) {
  builderOf(userData).foundCharacters(std::string_view(text, static_cast<std::size_t>(length)));
}

void appendOpening(const XmlElement& element, std::size_t depth, std::string& out) {
  appendIndent(out, depth);
  out += '<';
  out += element.name;
  for (const auto& [attributeName, attributeValue] : element.attributes) {
    out += ' ';
    out += attributeName;
    out += "=\"";
    appendEscapedAttributeValue(out, attributeValue);
    out += '"';
  }
}

void appendClosing(const XmlElement& element, std::string& out) {
  out += "</";
  out += element.name;
  out += '>';
}

}  // namespace

XmlDocument::XmlDocument(std::string_view data, std::size_t maximumDepth) : XmlElement("XmlDocument") {
  const ExpatParser parser = makeExpatParser();
  if (!parser) throw XmlError::parsingFailed();
  TreeBuilder builder(*this, parser.get(), maximumDepth);
  XML_SetUserData(parser.get(), &builder);
  XML_SetElementHandler(parser.get(), onStartElement, onEndElement);
  XML_SetCharacterDataHandler(parser.get(), onCharacters);
  if (parseAll(parser.get(), data) != XML_STATUS_OK) {
    // A handler that stopped the parser has already said why.
    if (builder.parseError()) throw *builder.parseError();
    throwSyntaxError(parser.get());
  }
}

std::string XmlDocument::xml() const {
  std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n";
  // An explicit stack instead of recursion: arbitrarily deep input must not exhaust the
  // call stack.
  struct Frame {
    const XmlElement* element;
    std::size_t nextChild;
  };
  std::vector<Frame> stack{{root().get(), 0}};
  appendOpening(*root(), 0, out);
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const XmlElement& element = *frame.element;
    const auto& children = element.children();
    const std::size_t depth = stack.size() - 1;
    if (children.empty()) {
      if (element.value) {
        out += '>';
        appendEscapedText(out, *element.value);
        appendClosing(element, out);
      } else {
        out += " />";
      }
      stack.pop_back();
      if (!stack.empty()) out += '\n';
      continue;
    }
    if (frame.nextChild == 0) out += ">\n";
    if (frame.nextChild < children.size()) {
      const XmlElement& child = *children[frame.nextChild++];
      appendOpening(child, depth + 1, out);
      stack.push_back({&child, 0});
      continue;
    }
    appendIndent(out, depth);
    appendClosing(element, out);
    stack.pop_back();
    if (!stack.empty()) out += '\n';
  }
  return out;
}

}  // namespace korvaster::xml
