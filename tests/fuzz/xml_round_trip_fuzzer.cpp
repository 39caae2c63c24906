// Reads arbitrary bytes as the identifier pass does (texts kept exactly); when they parse,
// writes the tree and reads it back. The written text must read back into the same tree,
// so that no escape, text or attribute is lost or changed on the way, and a second rewrite
// must give the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "xml/same_tree.h"
#include "xml/xml_document.h"

namespace {

korvaster::xml::XmlOptions exactTexts() {
  korvaster::xml::XmlOptions options;
  options.parserSettings.shouldTrimWhitespace = false;
  return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvaster::xml::XmlDocument;
  std::optional<XmlDocument> input;
  try {
    input.emplace(std::string_view(reinterpret_cast<const char*>(data), size), exactTexts());
  } catch (const korvaster::support::Error&) {
    return 0;  // not XML: nothing to check
  }
  // Any failure from here on is a fault: our own output must read back, unchanged.
  const std::string first = input->xml();
  const XmlDocument reread(std::string_view(first), exactTexts());
  if (!korvaster::xml::sameTree(*input->root(), *reread.root())) std::abort();
  if (reread.xml() != first) std::abort();
  return 0;
}
