#include "core/xib/identifier_insertion.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "core/xib/accessibility_child_order.h"
#include "core/xib/interface_builder_names.h"
#include "core/xib/tag_text.h"
#include "core/xib/view_attributes.h"
#include "xml/expat_parser.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

struct ChildRecord {
  std::string name;
  std::string key;
  std::size_t start = 0;
  std::size_t end = 0;
  std::size_t lineStart = 0;
};

struct OpenElement {
  std::string name;
  std::string key;
  std::size_t tagStart = 0;
  std::size_t tagEnd = 0;
  std::size_t lineStart = 0;
  bool emptyTag = false;  // written as <name .../>
  bool isView = false;
  bool hadHolder = false;
  std::string id;  // a view's
  // A view's children, in order; only views keep them.
  std::vector<ChildRecord> children;
};

class Inserter {
 public:
  Inserter(XML_Parser parser, std::string_view document)
      : parser_(parser),
        document_(document),
        conventions_(conventionsOf(document)),
        lineStarts_(document, conventions_.lineEnd.back()) {}

  void start(const char* name, const char** attributes) {
    if (open_.size() >= ibNames::maximumDepth) {
      fail(static_cast<int>(XML_ERROR_ABORTED),
           "elements nested deeper than " + std::to_string(ibNames::maximumDepth) + " levels");
      return;
    }
    ViewAttributes own;
    const char* key = "";
    for (const char** attribute = attributes; *attribute != nullptr; attribute += 2) {
      own.take(attribute[0], attribute[1]);
      if (std::strcmp(attribute[0], ibNames::key) == 0) key = attribute[1];
    }
    const auto start = static_cast<std::size_t>(XML_GetCurrentByteIndex(parser_));
    const auto length = static_cast<std::size_t>(XML_GetCurrentByteCount(parser_));
    if (!open_.empty()) {
      OpenElement& parent = open_.back();
      if (holdsViewIdentifier(parent.isView, parent.hadHolder, name)) {
        parent.hadHolder = true;
        if (own.identifier()) {
          ++counts_.kept;
        } else {
          ++counts_.added;
          addIdentifierAttribute(start, length, parent.id);
        }
      }
    }
    OpenElement& element = open_.emplace_back();
    element.name = name;
    element.key = key;
    element.tagStart = start;
    element.tagEnd = start + length;
    element.lineStart = lineStarts_.of(start);
    element.emptyTag = length >= 2 && document_[start + length - 2] == '/';
    element.isView = own.isView();
    if (element.isView) {
      ++counts_.views;
      element.id = *own.id();
    }
  }

  void end() {
    if (open_.empty()) return;
    OpenElement element = std::move(open_.back());
    open_.pop_back();
    const std::size_t endTagStart = static_cast<std::size_t>(XML_GetCurrentByteIndex(parser_));
    const std::size_t end = element.emptyTag
                                ? element.tagEnd
                                : endTagStart + static_cast<std::size_t>(XML_GetCurrentByteCount(parser_));
    if (element.isView && !element.hadHolder) {
      ++counts_.added;
      addHolder(element, endTagStart);
    }
    if (!open_.empty() && open_.back().isView) {
      open_.back().children.push_back(
          {std::move(element.name), std::move(element.key), element.tagStart, end, element.lineStart});
    }
  }

  void checkEncoding(const char* encoding) {
    if (encoding == nullptr) return;
    std::string name(encoding);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name != "utf-8" && name != "utf8") fail(static_cast<int>(XML_ERROR_ABORTED), notUtf8);
  }

  void fail(int code, std::string message) {
    if (!error_) {
      error_.emplace(code, std::move(message), XML_GetCurrentLineNumber(parser_),
                     XML_GetCurrentColumnNumber(parser_) + 1);
    }
    XML_StopParser(parser_, XML_FALSE);
  }
  const std::optional<xml::XmlSyntaxError>& error() const { return error_; }

  IdentifierInsertions finish() {
    // A view's edits are made when it ends, after those inside it: put in document order,
    // keeping the order in which edits at one place were made.
    std::stable_sort(edits_.begin(), edits_.end(),
                     [](const support::TextEdit& left, const support::TextEdit& right) {
                       return left.offset < right.offset;
                     });
    return {std::move(edits_), counts_};
  }

  static constexpr const char* notUtf8 = "only files in UTF-8 are changed where they lie";

 private:
  std::string escaped(std::string_view value, char quote) const {
    std::string out;
    for (const char c : value) {
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += conventions_.escapesGreaterThan ? "&gt;" : ">";
          break;
        case '"':
          out += quote == '"' ? "&quot;" : "\"";
          break;
        case '\'':
          out += quote == '\'' ? "&apos;" : "'";
          break;
        case '\n':
          out += "&#10;";
          break;
        case '\r':
          out += "&#13;";
          break;
        case '\t':
          out += "&#9;";
          break;
        default:
          out += c;
      }
    }
    return out;
  }

  std::string holderElement(std::string_view id) const {
    return std::string("<") + ibNames::accessibility + " " + ibNames::key + "=\"" +
           ibNames::accessibilityConfiguration + "\" " + ibNames::identifier + "=\"" + escaped(id, '"') +
           "\"/>";
  }

  // Xcode writes "key" first and the other attributes in alphabetical order.
  void addIdentifierAttribute(std::size_t tagStart, std::size_t tagLength, std::string_view id) {
    const std::string_view tag = document_.substr(tagStart, tagLength);
    const std::vector<AttributeSpan> spans = attributesOf(tag);
    std::size_t following = 0;
    while (following < spans.size() && (spans[following].name == ibNames::key ||
                                        spans[following].name < std::string_view(ibNames::identifier)))
      ++following;
    const char quote = spans.empty() ? '"' : spans[following > 0 ? following - 1 : 0].quote;
    const std::string attribute = std::string(ibNames::identifier) + "=" + quote + escaped(id, quote) + quote;
    if (following > 0) {
      edits_.push_back({tagStart + spans[following - 1].end, 0, " " + attribute});
    } else if (!spans.empty()) {
      edits_.push_back({tagStart + spans.front().start, 0, attribute + " "});
    } else {
      const std::size_t nameEnd = tag.find_first_of(" \t\r\n/>");
      edits_.push_back({tagStart + nameEnd, 0, " " + attribute});
    }
  }

  void addHolder(const OpenElement& view, std::size_t endTagStart) {
    const std::string_view viewPrefix = document_.substr(view.lineStart, view.tagStart - view.lineStart);
    const std::string viewIndent(isBlank(viewPrefix) ? viewPrefix : std::string_view());
    std::string childIndent = viewIndent + conventions_.indentUnit;
    if (!view.children.empty()) {
      const ChildRecord& child = view.children.front();
      const std::string_view prefix = document_.substr(child.lineStart, child.start - child.lineStart);
      if (isBlank(prefix)) childIndent = prefix;
    }
    const std::string holder = holderElement(view.id);
    const std::string& lineEnd = conventions_.lineEnd;
    if (view.emptyTag) {
      edits_.push_back(
          {view.tagEnd - 2, 2,
           ">" + lineEnd + childIndent + holder + lineEnd + viewIndent + "</" + view.name + ">"});
      return;
    }
    // After the last child Xcode writes before it, and before any it writes after it.
    std::size_t place = 0;
    for (std::size_t index = 0; index < view.children.size(); ++index) {
      const ChildRecord& child = view.children[index];
      const AccessibilityChildPlace side = placeBesideAccessibility(view.name, child.name, child.key);
      if (side == AccessibilityChildPlace::after) break;
      if (side == AccessibilityChildPlace::before) place = index + 1;
    }
    if (place > 0) {
      edits_.push_back({view.children[place - 1].end, 0, lineEnd + childIndent + holder});
    } else if (!view.children.empty()) {
      edits_.push_back({view.children.front().start, 0, holder + lineEnd + childIndent});
    } else if (const std::size_t lineStart = lineStarts_.of(endTagStart);
               isBlank(document_.substr(lineStart, endTagStart - lineStart))) {
      edits_.push_back({lineStart, 0, childIndent + holder + lineEnd});
    } else {
      edits_.push_back({endTagStart, 0, lineEnd + childIndent + holder + lineEnd + viewIndent});
    }
  }

  XML_Parser parser_;
  std::string_view document_;
  FileConventions conventions_;
  LineStarts lineStarts_;
  std::vector<OpenElement> open_;
  std::vector<support::TextEdit> edits_;
  IdentifierCounts counts_;
  std::optional<xml::XmlSyntaxError> error_;
};

Inserter& inserterOf(void* userData) { return *static_cast<Inserter*>(userData); }

void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
  inserterOf(userData).start(name, attributes);
}
void XMLCALL onEnd(void* userData, const XML_Char*) { inserterOf(userData).end(); }
void XMLCALL onDeclaration(void* userData, const XML_Char*, const XML_Char* encoding, int) {
  inserterOf(userData).checkEncoding(encoding);
}

bool startsWithUtf16Mark(std::string_view document) {
  return document.size() >= 2 && ((document[0] == '\xFE' && document[1] == '\xFF') ||
                                  (document[0] == '\xFF' && document[1] == '\xFE'));
}

}  // namespace

IdentifierInsertions identifierInsertionsOf(std::string_view document) {
  // The inserted bytes are UTF-8, and the places are found as byte offsets into the input.
  if (startsWithUtf16Mark(document))
    throw xml::XmlSyntaxError(static_cast<int>(XML_ERROR_ABORTED), Inserter::notUtf8, 1, 1);
  const xml::ExpatParser parser = xml::makeExpatParser();
  Inserter inserter(parser.get(), document);
  XML_SetUserData(parser.get(), &inserter);
  XML_SetElementHandler(parser.get(), onStart, onEnd);
  XML_SetXmlDeclHandler(parser.get(), onDeclaration);
  if (xml::parseAll(parser.get(), document) != XML_STATUS_OK) {
    if (inserter.error()) throw *inserter.error();
    xml::throwSyntaxError(parser.get());
  }
  return inserter.finish();
}

IdentifierInsertion insertAccessibilityIdentifiers(std::string_view document) {
  IdentifierInsertions insertions = identifierInsertionsOf(document);
  return {support::appliedEdits(document, insertions.edits), insertions.counts};
}

}  // namespace korvaster
