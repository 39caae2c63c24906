#include "xml/xml_writer.h"

#include <vector>

#include "xml/xml_element.h"

namespace korvaster::xml {

namespace {

// Appends `text` with the characters of `specials` replaced; runs without one are copied
// in one piece, which keeps writing at memory speed.
template <typename Replacement>
void appendEscaped(std::string& out, std::string_view text, const char* specials, Replacement replacement) {
  std::size_t start = 0;
  while (true) {
    const std::size_t found = text.find_first_of(specials, start);
    if (found == std::string_view::npos) {
      out.append(text.data() + start, text.size() - start);
      return;
    }
    out.append(text.data() + start, found - start);
    out.append(replacement(text[found]));
    start = found + 1;
  }
}

const char* commonReference(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '\'':
      return "&apos;";
    case '"':
      return "&quot;";
    case '\n':
      return "&#10;";
    case '\r':
      return "&#13;";
    case '\t':
      return "&#9;";
    default:
      return "";
  }
}

// "&", "<", ">", "'", '"' and carriage returns become references. In attribute values line
// feeds and tabs do too, so that they survive a re-read.
void appendText(std::string& out, std::string_view text) {
  appendEscaped(out, text, "&<>'\"\r", commonReference);
}

void appendAttributeValue(std::string& out, std::string_view text) {
  appendEscaped(out, text, "&<>'\"\n\r\t", commonReference);
}

void appendIndent(std::string& out, int depth) {
  if (depth > 0) out.append(static_cast<std::size_t>(depth), '\t');
}

void appendOpening(const XmlElement& element, int depth, std::string& out) {
  appendIndent(out, depth);
  out += '<';
  out += element.name;
  for (const auto& [attributeName, attributeValue] : element.attributes) {
    out += ' ';
    out += attributeName;
    out += "=\"";
    appendAttributeValue(out, attributeValue);
    out += '"';
  }
}

void appendClosing(const XmlElement& element, std::string& out) {
  out += "</";
  out += element.name;
  out += '>';
}

}  // namespace

void XmlWriter::writeElement(const XmlElement& root, int rootDepth, std::string& out) {
  // An explicit stack instead of recursion: arbitrarily deep input must not exhaust the
  // call stack.
  struct Frame {
    const XmlElement* element;
    int depth;
    std::size_t nextChild;
  };
  std::vector<Frame> stack{{&root, rootDepth, 0}};
  appendOpening(root, rootDepth, out);
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const XmlElement& element = *frame.element;
    const auto& children = element.children();
    if (children.empty()) {
      if (element.value) {
        out += '>';
        appendText(out, *element.value);
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
      const int childDepth = frame.depth + 1;
      appendOpening(child, childDepth, out);
      stack.push_back({&child, childDepth, 0});
      continue;
    }
    appendIndent(out, frame.depth);
    appendClosing(element, out);
    stack.pop_back();
    if (!stack.empty()) out += '\n';
  }
}

}  // namespace korvaster::xml
