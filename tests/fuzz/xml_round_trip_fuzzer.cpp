// Reads arbitrary bytes; when they parse, writes the tree, reads that text and writes it
// again, three times over. The tool's own output must always read back, and from the
// second text on it must no longer change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "xml/xml_document.h"

namespace {

std::string rewrite(std::string_view text) { return korvaster::xml::XmlDocument(text).xml(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string first;
  try {
    first = rewrite(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const korvaster::support::Error&) {
    return 0;  // not XML: nothing to check
  }
  // Any failure from here on is a fault: our own output must read back.
  const std::string second = rewrite(first);
  const std::string third = rewrite(second);
  if (second != third) std::abort();
  return 0;
}
