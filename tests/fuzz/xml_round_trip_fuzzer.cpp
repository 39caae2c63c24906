// Reads arbitrary bytes into the tests' tree model (texts kept exactly); when they parse,
// writes the tree and reads it back. The written text must read back into the same tree,
// so that no escape, text or attribute is lost or changed on the way, and a second rewrite
// must give the same text. The stream rewriter the tool writes files with must give the tree
// writer's text byte for byte, and fail where the tree reader fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "oracle/same_tree.h"
#include "oracle/xml_document.h"
#include "xml/xml_stream_rewriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvaster::xml::XmlDocument;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string streamed;
  bool streamRead = true;
  try {
    korvaster::xml::XmlStreamRewriter rewriter(
        nullptr, [&streamed](std::string_view block) { return streamed.append(block), true; }, 0, 256);
    rewriter.rewrite(bytes);
  } catch (const korvaster::support::Error&) {
    streamRead = false;
  }
  std::optional<XmlDocument> input;
  try {
    input.emplace(bytes);
  } catch (const korvaster::support::Error&) {
    if (streamRead) std::abort();
    return 0;  // not XML: nothing to check
  }
  if (!streamRead) std::abort();
  // Any failure from here on is a fault: our own output must read back, unchanged.
  const std::string first = input->xml();
  const XmlDocument reread{std::string_view(first)};
  if (!korvaster::xml::sameTree(*input->root(), *reread.root())) std::abort();
  if (reread.xml() != first || streamed != first) std::abort();
  return 0;
}
