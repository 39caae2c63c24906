#include "core/xib/tag_text.h"

namespace korvaster {

FileConventions conventionsOf(std::string_view document) {
  FileConventions conventions;
  const std::size_t firstBreak = document.find('\n');
  conventions.lineEnd =
      firstBreak != std::string_view::npos && firstBreak > 0 && document[firstBreak - 1] == '\r' ? "\r\n"
                                                                                                 : "\n";
  // The first indented line is one level deep: the root element's first child.
  conventions.indentUnit = "    ";
  for (std::size_t at = firstBreak; at != std::string_view::npos && at + 1 < document.size();
       at = document.find('\n', at + 1)) {
    const char first = document[at + 1];
    if (first == '\t') {
      conventions.indentUnit = "\t";
      break;
    }
    if (first == ' ') {
      const std::size_t end = document.find_first_not_of(' ', at + 1);
      conventions.indentUnit.assign(end == std::string_view::npos ? document.size() - at - 1 : end - at - 1,
                                    ' ');
      break;
    }
  }
  conventions.escapesGreaterThan = document.find("&gt;") != std::string_view::npos;
  return conventions;
}

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

std::string_view linePrefix(std::string_view document, std::size_t offset) {
  const std::size_t lineBreak = offset == 0 ? std::string_view::npos : document.rfind('\n', offset - 1);
  const std::size_t start = lineBreak == std::string_view::npos ? 0 : lineBreak + 1;
  return document.substr(start, offset - start);
}

std::vector<AttributeSpan> attributesOf(std::string_view tag) {
  std::vector<AttributeSpan> spans;
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t at = 1;
  while (at < tag.size() && !isSpace(tag[at]) && tag[at] != '/' && tag[at] != '>') ++at;
  for (;;) {
    while (at < tag.size() && isSpace(tag[at])) ++at;
    if (at >= tag.size() || tag[at] == '/' || tag[at] == '>') break;
    AttributeSpan span;
    span.start = at;
    while (at < tag.size() && tag[at] != '=' && !isSpace(tag[at])) ++at;
    span.name = tag.substr(span.start, at - span.start);
    at = tag.find_first_of("\"'", at);
    if (at == std::string_view::npos) break;
    span.quote = tag[at];
    at = tag.find(span.quote, at + 1);
    if (at == std::string_view::npos) break;
    span.end = ++at;
    spans.push_back(span);
  }
  return spans;
}

}  // namespace korvaster
