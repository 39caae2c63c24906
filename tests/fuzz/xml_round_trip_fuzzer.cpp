// Reads arbitrary bytes through the tool's stream rewriter and into the tests' tree model
// (texts kept exactly), as roundTripFault says: the rewriter must fail where the tree reader
// fails and otherwise write the tree writer's text byte for byte, and that text must read
// back into the same tree, so that no escape, text or attribute is lost or changed on the way.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "oracle/round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool wellFormed = false;
  const auto fault = korvaster::xml::roundTripFault({reinterpret_cast<const char*>(data), size}, wellFormed);
  if (fault) {
    std::fprintf(stderr, "%s\n", fault->c_str());
    std::abort();
  }
  return 0;
}
