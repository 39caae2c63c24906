// Reads arbitrary bytes through the tool's stream rewriter, as roundTripFault says: the text it
// writes does not depend on how the bytes are cut into blocks, and it reads back into itself, so
// that no escape, text or attribute is changed by a second pass.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "xml/rewritten_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fault = korvaster::xml::roundTripFault({reinterpret_cast<const char*>(data), size});
  if (fault) {
    std::fprintf(stderr, "%s\n", fault->c_str());
    std::abort();
  }
  return 0;
}
