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
      : parser_(parser), maximumDepth_(maximumDepth), open_{&document} {}

  void didStartElement(const char* name, const char** attributes) {
    if (maximumDepth_ > 0 && open_.size() > maximumDepth_) {
      parseError_.emplace(static_cast<int>(XML_ERROR_ABORTED),
                          "elements nested deeper than " + std::to_string(maximumDepth_) + " levels",
                          XML_GetCurrentLineNumber(parser_), XML_GetCurrentColumnNumber(parser_) + 1);
      XML_StopParser(parser_, XML_FALSE);
      return;
    }
    keepValue();
    XmlAttributes map;
    for (const char** attribute = attributes; *attribute != nullptr; attribute += 2) {
      map.emplace_back(attribute[0], attribute[1]);
    }
    current_ = open_.back()->addChild(name, std::nullopt, std::move(map)).get();
    open_.push_back(current_);
  }

  // Text after an end tag is stored nowhere, so there is no need to collect it.
  void foundCharacters(std::string_view text) {
    if (current_ != nullptr) value_.append(text);
  }

  void didEndElement() {
    keepValue();
    open_.pop_back();
    current_ = nullptr;
  }

  const std::optional<XmlSyntaxError>& parseError() const { return parseError_; }

 private:
  // An element's text is what stands between its start tag and its first child or end tag.
  void keepValue() {
    if (current_ != nullptr && !value_.empty()) current_->value = std::move(value_);
    value_.clear();
  }

  XML_Parser parser_;
  std::size_t maximumDepth_;
  std::vector<XmlElement*> open_;  // the document, then each element not yet ended
  XmlElement* current_ = nullptr;  // the element whose text is being collected
  std::string value_;
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
  out += '<' + element.name;
  for (const auto& [name, value] : element.attributes) {
    out += ' ' + name + "=\"";
    appendEscapedAttributeValue(out, value);
    out += '"';
  }
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
        out += "</" + element.name + '>';
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
    out += "</" + element.name + '>';
    stack.pop_back();
    if (!stack.empty()) out += '\n';
  }
  return out;
}

}  // namespace korvaster::xml
