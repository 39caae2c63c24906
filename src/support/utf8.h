// Telling well-formed UTF-8 from other bytes, for writers whose documents must stay valid
// whatever bytes a path or a message holds.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvaster::support {

// The length of the well-formed UTF-8 sequence at the start of `text` (1 to 4; 1 for an ASCII
// byte), or 0 when it starts with a byte that is no such sequence (or `text` is empty).
std::size_t utf8SequenceLength(std::string_view text);

}  // namespace korvaster::support
