// What the stream rewriter and the tree writer make of one input, texts kept exactly as the
// identifier pass keeps them: the text each writes, or the words of the syntax error it meets.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "oracle/xml_document.h"
#include "xml/xml_stream_rewriter.h"

namespace korvaster::xml {

// Through the stream rewriter and `editor` (none: nothing changed), in blocks of `blockSize` bytes.
inline std::string streamed(std::string_view input, XmlStreamEditor* editor = nullptr, std::size_t maximumDepth = 0,
                            std::size_t blockSize = 1 << 16) {
  std::string out;
  XmlStreamRewriter rewriter(editor, [&out](std::string_view block) { return out.append(block), true; }, maximumDepth,
                             blockSize);
  try {
    return rewriter.rewrite(input) ? out : "the rewrite stopped early";
  } catch (const XmlSyntaxError& error) {
    return error.description();
  }
}

// Through a tree, which `change` (if any) changes before it is written.
inline std::string throughTree(std::string_view input, std::size_t maximumDepth = 0,
                               const std::function<void(XmlElement&)>& change = {}) {
  try {
    XmlDocument document(input, maximumDepth);
    if (change) change(*document.root());
    return document.xml();
  } catch (const XmlSyntaxError& error) {
    return error.description();
  }
}

}  // namespace korvaster::xml
