#include "core/xib/tag_text.h"

#include <algorithm>
#include <cstring>

namespace korvaster {

FileConventions conventionsOf(std::string_view document) {
  FileConventions conventions;
  // A file whose first line ends in a carriage return alone ends all its lines so.
  const std::size_t firstEnd = document.find_first_of("\r\n");
  const bool cr = firstEnd != std::string_view::npos && document[firstEnd] == '\r';
  const bool crOnly = cr && (firstEnd + 1 == document.size() || document[firstEnd + 1] != '\n');
  conventions.lineEnd = crOnly ? "\r" : cr ? "\r\n" : "\n";
  const char lastOfLineEnd = conventions.lineEnd.back();
  const std::size_t firstBreak = document.find(lastOfLineEnd);
  // The first indented line is one level deep: the root element's first child.
  conventions.indentUnit = "    ";
  for (std::size_t at = firstBreak; at != std::string_view::npos && at + 1 < document.size();
       at = document.find(lastOfLineEnd, at + 1)) {
    const char first = document[at + 1];
    if (first == '\t') {
      conventions.indentUnit.assign(1, '\t');
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

std::size_t LineStarts::of(std::size_t offset) {
  while (scanned_ < offset) {
    const void* feed = std::memchr(document_.data() + scanned_, lineEnd_, offset - scanned_);
    if (feed == nullptr) break;
    lineStart_ = static_cast<std::size_t>(static_cast<const char*>(feed) - document_.data()) + 1;
    scanned_ = lineStart_;
  }
  scanned_ = std::max(scanned_, offset);
  return lineStart_;
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

unsigned long AstralsOnLine::before(std::size_t offset) {
  for (const std::size_t end = std::min(offset, document_.size()); read_ < end; ++read_) {
    const auto byte = static_cast<unsigned char>(document_[read_]);
    if (byte == '\n' || byte == '\r') {
      count_ = 0;
    } else if ((byte & 0xF8) == 0xF0) {
      ++count_;
    }
  }
  return count_;
}

}  // namespace korvaster
