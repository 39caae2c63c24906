// What the stream rewriter makes of one input, texts kept exactly as the identifier pass keeps
// them: the text it writes, or the words of the syntax error it meets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// What the fuzz target asks of any input: the rewriter writes the same text whatever the size of
// its blocks, and its own text, read again, comes out unchanged; or what went wrong.
inline std::optional<std::string> roundTripFault(std::string_view bytes) {
  const std::string first = streamed(bytes, nullptr, 256);
  if (streamed(bytes, nullptr, 256, 1) != first) return "the size of the blocks changed the text";
  if (first.rfind("XML syntax error", 0) == 0) return std::nullopt;
  if (streamed(first, nullptr, 256) != first) return "a second pass changed the text";
  return std::nullopt;
}

}  // namespace korvaster::xml
