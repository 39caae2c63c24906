// The fuzz target's check of one input, shared with the test that replays the inputs it found:
// the stream rewriter fails where the tree reader fails and otherwise writes the tree writer's
// text, which reads back into the same tree and is written the same again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "oracle/xml_document.h"
#include "xml/xml_stream_rewriter.h"

namespace korvaster::xml {

// Whether two trees hold what the writer keeps: names, attributes (in order), the children in
// order, and the value of each element without children.
inline bool sameTree(const XmlElement& left, const XmlElement& right) {
  // An explicit stack: fuzzed input may nest far deeper than the call stack allows.
  std::vector<std::pair<const XmlElement*, const XmlElement*>> pending{{&left, &right}};
  while (!pending.empty()) {
    const auto [a, b] = pending.back();
    pending.pop_back();
    if (a->name != b->name || !(a->attributes == b->attributes) ||
        a->children().size() != b->children().size()) {
      return false;
    }
    // The value of an element with children is not written, so it is not compared.
    if (a->children().empty() && a->value != b->value) return false;
    for (std::size_t index = 0; index < a->children().size(); ++index) {
      pending.emplace_back(a->children()[index].get(), b->children()[index].get());
    }
  }
  return true;
}

// What went wrong with `bytes`, or nothing; `wellFormed` says whether the tree reader read them.
inline std::optional<std::string> roundTripFault(std::string_view bytes, bool& wellFormed) {
  std::string streamed;
  bool streamRead = true;
  try {
    XmlStreamRewriter rewriter(
        nullptr, [&streamed](std::string_view block) { return streamed.append(block), true; }, 0, 256);
    rewriter.rewrite(bytes);
  } catch (const support::Error&) {
    streamRead = false;
  }
  std::optional<XmlDocument> input;
  try {
    input.emplace(bytes);
  } catch (const support::Error&) {
    wellFormed = false;
    return streamRead ? std::optional<std::string>("the stream rewriter read what the tree reader refused")
                      : std::nullopt;
  }
  wellFormed = true;
  if (!streamRead) return "the stream rewriter refused what the tree reader read";
  const std::string first = input->xml();
  if (streamed != first) return "the stream rewriter wrote another text than the tree writer";
  // Our own output must read back, unchanged.
  const XmlDocument reread{std::string_view(first)};
  if (!sameTree(*input->root(), *reread.root())) return "the text read back into another tree";
  if (reread.xml() != first) return "a second write changed the text";
  return std::nullopt;
}

}  // namespace korvaster::xml
