#include "xml/xml_writer.h"

#include <vector>

#include "xml/xml_element.h"
#include "xml/xml_escaping.h"

namespace korvaster::xml {

namespace {

void appendOpening(const XmlElement& element, int depth, std::string& out) {
  appendIndent(out, static_cast<std::size_t>(depth > 0 ? depth : 0));
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
      const int childDepth = frame.depth + 1;
      appendOpening(child, childDepth, out);
      stack.push_back({&child, childDepth, 0});
      continue;
    }
    appendIndent(out, static_cast<std::size_t>(frame.depth > 0 ? frame.depth : 0));
    appendClosing(element, out);
    stack.pop_back();
    if (!stack.empty()) out += '\n';
  }
}

}  // namespace korvaster::xml
