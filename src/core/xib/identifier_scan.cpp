#include "core/xib/identifier_scan.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "core/xib/interface_builder_names.h"
#include "xml/expat_parser.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

struct OpenElement {
  bool isView = false;
  bool sawAccessibility = false;
  std::optional<std::string> identifier;
  std::string element;
  std::string id;
  SourcePosition position;
};

class Scanner {
 public:
  explicit Scanner(XML_Parser parser) : parser_(parser) {}

  void start(const char* name, const char** attributes) {
    if (++depth_ > ibNames::maximumDepth) {
      fail(static_cast<int>(XML_ERROR_ABORTED),
           "elements nested deeper than " + std::to_string(ibNames::maximumDepth) + " levels");
      return;
    }
    const char* id = nullptr;
    const char* identifier = nullptr;
    bool hasContentMode = false;
    for (const char** attribute = attributes; *attribute != nullptr; attribute += 2) {
      if (std::strcmp(attribute[0], ibNames::id) == 0)
        id = attribute[1];
      else if (std::strcmp(attribute[0], ibNames::contentMode) == 0)
        hasContentMode = true;
      else if (std::strcmp(attribute[0], ibNames::identifier) == 0)
        identifier = attribute[1];
    }
    if (!open_.empty() && open_.back().isView && !open_.back().sawAccessibility &&
        std::strcmp(name, ibNames::accessibility) == 0) {
      open_.back().sawAccessibility = true;
      if (identifier != nullptr) open_.back().identifier = identifier;
    }
    OpenElement& element = open_.emplace_back();
    if (id != nullptr && hasContentMode) {
      element.isView = true;
      element.element = name;
      element.id = id;
      element.position = here();
    }
  }

  void end() {
    --depth_;
    if (open_.empty()) return;
    OpenElement element = std::move(open_.back());
    open_.pop_back();
    if (!element.isView) return;
    ++scan_.views;
    ViewFinding finding{ViewFinding::Kind::missingIdentifier,
                        element.position,
                        std::move(element.element),
                        std::move(element.id),
                        {},
                        {},
                        {}};
    if (element.identifier) {
      finding.identifier = std::move(*element.identifier);
      identified_.push_back(std::move(finding));
    } else {
      scan_.findings.push_back(std::move(finding));
    }
  }

  IdentifierScan finish() {
    // Views end in another order than they start: which use of an identifier came first is
    // only known once every view has been seen.
    const auto inDocumentOrder = [](const ViewFinding& left, const ViewFinding& right) {
      return left.position.line != right.position.line ? left.position.line < right.position.line
                                                       : left.position.column < right.position.column;
    };
    std::sort(identified_.begin(), identified_.end(), inDocumentOrder);
    std::unordered_map<std::string, const ViewFinding*> firstUse;
    for (const ViewFinding& view : identified_) {
      const auto [first, isFirst] = firstUse.try_emplace(view.identifier, &view);
      if (isFirst) continue;
      ViewFinding& duplicate = scan_.findings.emplace_back(view);
      duplicate.kind = ViewFinding::Kind::duplicateIdentifier;
      duplicate.firstId = first->second->id;
      duplicate.firstPosition = first->second->position;
    }
    std::stable_sort(scan_.findings.begin(), scan_.findings.end(), inDocumentOrder);
    return std::move(scan_);
  }

  void fail(int code, std::string message) {
    if (!error_)
      error_.emplace(code, std::move(message), XML_GetCurrentLineNumber(parser_),
                     XML_GetCurrentColumnNumber(parser_) + 1);
    XML_StopParser(parser_, XML_FALSE);
  }
  const std::optional<xml::XmlSyntaxError>& error() const { return error_; }

 private:
  SourcePosition here() const {
    return {static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_)),
            static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_)) + 1};
  }

  XML_Parser parser_;
  std::size_t depth_ = 0;
  std::vector<OpenElement> open_;
  // The views that have an identifier, in the order they ended.
  std::vector<ViewFinding> identified_;
  IdentifierScan scan_;
  std::optional<xml::XmlSyntaxError> error_;
};

Scanner& scannerOf(void* userData) { return *static_cast<Scanner*>(userData); }

void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
  scannerOf(userData).start(name, attributes);
}

void XMLCALL onEnd(void* userData, const XML_Char*) { scannerOf(userData).end(); }

}  // namespace

IdentifierScan scanIdentifiers(std::string_view document) {
  const xml::ExpatParser parser = xml::makeExpatParser();
  if (!parser) throw xml::XmlError::parsingFailed();
  Scanner scanner(parser.get());
  XML_SetUserData(parser.get(), &scanner);
  XML_SetElementHandler(parser.get(), onStart, onEnd);
  if (xml::parseAll(parser.get(), document) != XML_STATUS_OK) {
    if (scanner.error()) throw *scanner.error();
    xml::throwSyntaxError(parser.get());
  }
  return scanner.finish();
}

}  // namespace korvaster
